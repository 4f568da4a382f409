// When two things meet: leaving while a profile save, an upload or a run is under way,
// heaters going off behind a slot write, a disabled main window asked to close, and live
// values while polling pauses. Each ends in a defined, visible, safe way within a bound.
#include "app/signal_exit.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <csignal>
#include <set>

using testsupport::ProgramRig;
using Answer = platform::Dialogs::Answer;

namespace {

struct Collision : ::testing::Test {
    ProgramRig rig{settings::SettingsFile::defaultLines()};  // AutoUSB=1: connects by itself
    profiles::Profile_Editor_Form* editor = nullptr;
    std::unique_ptr<platform::Timer> watch;
    std::set<QString> warningTexts;       // every text the exit window showed
    std::int64_t writeEndedAt = -1;       // when the slot write's exchange ended
    bool sawHandBackTooEarly = false;     // the exit window spoke of the hand-back before it began

    void SetUp() override {
        rig.start();
        ASSERT_TRUE(rig.clock.runUntil([&] { return rig.state.MachineOnline && !rig.state.PollerBusy; }, 60000));
    }
    void openEditor() {
        rig.program->openEditor(false, false);
        editor = rig.program->editor();
        ASSERT_NE(editor, nullptr);
    }
    // A station save of a new profile into slot 3, started from the editor.
    void startSave(const QString& name = "NEW ONE") {
        openEditor();
        editor->Text7->setText(name);
        editor->Text1->setText("100");
        editor->Text3->setText("150");
        editor->Text5->setText("200");
        editor->Option3->click();
        editor->Command7->click();
        ASSERT_EQ(rig.state.EditorState, core::EditorSavePending);
    }
    void heatersOn(int lower, int upper) {
        rig.station.setHeaters(lower, upper);
        ASSERT_TRUE(rig.clock.runUntil(
            [&] { return rig.state.LowerHeaterMode == lower && rig.state.UpperHeaterMode == upper; }, 30000));
    }
    // Watches every virtual millisecond, inside whatever wait runs then.
    void watchEveryMillisecond(std::function<void()> more = {}) {
        watch = rig.clock.createTimer(1, [this, more] {
            auto& w = rig.program->warning;
            if (w.isVisible()) {
                warningTexts.insert(w.WarningText->text());
                const bool handingBack = rig.state.ExitStage == core::ExitWritingSettings ||
                                         rig.state.ExitStage == core::ExitSigningOff;
                if (w.WarningText->text() == stationlink::kHandingBackText && !handingBack) sawHandBackTooEarly = true;
            }
            if (writeEndedAt < 0 && rig.program->profiles.writing()) writeEndedAt = 0;
            if (writeEndedAt == 0 && !rig.program->profiles.writing()) writeEndedAt = rig.clock.nowMs();
            if (more) more();
        });
        watch->setEnabled(true);
    }
    // Runs the action once, inside the slot write's waits, when it has run for afterMs.
    void duringTheWrite(int afterMs, std::function<void()> action) {
        auto startedAt = std::make_shared<std::int64_t>(-1);
        auto done = std::make_shared<bool>(false);
        watchEveryMillisecond([=, this] {
            if (*done || !rig.program->profiles.writing()) return;
            if (*startedAt < 0) *startedAt = rig.clock.nowMs();
            if (rig.clock.nowMs() - *startedAt < afterMs) return;
            *done = true;
            action();
        });
    }
    bool ended() const { return rig.form->programEnded(); }
    bool anyTextStarts(const QString& start) const {
        for (const QString& t : warningTexts)
            if (t.startsWith(start)) return true;
        return false;
    }
};

// Raises the signal and lets Qt's loop deliver it to the program, as its event loop would.
void deliver(app::SignalExit& signalExit, int signalNumber) {
    const int before = signalExit.signalsSeen();
    ASSERT_EQ(::raise(signalNumber), 0);
    for (int i = 0; i < 100 && signalExit.signalsSeen() == before; ++i) QCoreApplication::processEvents();
    ASSERT_EQ(signalExit.signalsSeen(), before + 1);
}

}  // namespace

// The click order that hung: a station Save, the main window's close box, and after 15 s
// "Manual Disconnect". The program ends at the click, every window goes, nothing more is sent.
TEST_F(Collision, ManualDisconnectDuringAStationSaveEndsAtOnceAndSendsNothingMore) {
    startSave();
    auto& warning = rig.program->warning;
    bool closed = false, clicked = false, writingAtClick = false;
    QString textAtClick;
    std::int64_t clickedAt = 0;
    std::size_t calls = 0;
    std::uint64_t frames = 0;
    watchEveryMillisecond([&] {
        if (!closed && rig.program->profiles.writing()) {
            closed = true;
            rig.form->close();
        }
        if (closed && !clicked && warning.Command1->isEnabled()) {
            clicked = true;
            writingAtClick = rig.program->profiles.writing();
            textAtClick = warning.WarningText->text();
            clickedAt = rig.clock.nowMs();
            calls = rig.bridgeCalls.calls.size();
            frames = rig.station.frameCount();
            testsupport::saveShot(warning, "exit-waiting-for-save.png");
            warning.Command1->click();
        }
    });
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 60000));
    ASSERT_TRUE(clicked);
    EXPECT_TRUE(writingAtClick) << "clicked while the write was under way";
    EXPECT_TRUE(textAtClick.startsWith("Waiting for the profile save to finish (")) << textAtClick.toStdString();
    EXPECT_LE(rig.clock.nowMs() - clickedAt, 1000);
    EXPECT_FALSE(editor->isVisible()) << "a busy editor does not hold the end";
    EXPECT_FALSE(warning.isVisible());
    EXPECT_FALSE(sawHandBackTooEarly);
    rig.clock.advance(60000);
    EXPECT_EQ(rig.bridgeCalls.calls.size(), calls) << "nothing is sent or called after Manual Disconnect";
    EXPECT_EQ(rig.station.frameCount(), frames);
    EXPECT_FALSE(rig.state.TransactionActive);
}

// Without Manual Disconnect the exit waits for the write, says so, lets the editor show the
// save's result, then hands the settings back; the slot holds the new profile.
TEST_F(Collision, ClosingDuringAStationSaveWaitsForItShowsItsResultThenLeaves) {
    startSave("KEPT");
    watchEveryMillisecond();
    rig.form->M_File_Exit->trigger();
    rig.form->close();  // asked twice: still one exit
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 90000))
        << editor->panel(1).toStdString() << " / " << rig.state.EditorState << " / " << rig.state.ExitStage << " / "
        << rig.program->warning.WarningText->text().toStdString();
    EXPECT_EQ(editor->panel(1), "Profile 3 Saved and verified");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rig.station.profile(3).data()), 4), QByteArray("KEPT"));
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_TRUE(anyTextStarts("Waiting for the profile save to finish ("));
    EXPECT_TRUE(anyTextStarts("Waiting for the saved profile to be read back"));
    EXPECT_FALSE(sawHandBackTooEarly) << "no text describes a step not being taken";
    EXPECT_TRUE(rig.dialogs.questions.empty());
    rig.expectNoViolations();
}

// "Yes" to the heater question during a slot save with both heaters on: the steps down
// wait for the write only, then go out before the queued read-back; the limit counts from
// then; the editor shows the result before the program leaves.
TEST_F(Collision, YesToTheHeaterQuestionDuringAStationSaveSwitchesThemOffRightAfterTheWrite) {
    heatersOn(3, 2);
    startSave();
    bool answered = false;
    duringTheWrite(3000, [&] {
        rig.form->close();
        ASSERT_EQ(rig.dialogs.questions.size(), 1u);
        answered = rig.dialogs.answer(Answer::Yes);
        EXPECT_TRUE(rig.program->warning.isVisible());
        EXPECT_TRUE(rig.program->warning.WarningText->text().startsWith("Heaters go OFF after the profile save ends, in "))
            << rig.program->warning.WarningText->text().toStdString();
    });
    std::int64_t offAt = -1;
    ASSERT_TRUE(rig.clock.runUntil([&] {
        if (offAt < 0 && rig.station.upperLevel() == 1 && rig.station.lowerLevel() == 1) offAt = rig.clock.nowMs();
        return ended();
    }, 120000));
    ASSERT_TRUE(answered);
    ASSERT_GT(writeEndedAt, 0);
    ASSERT_GT(offAt, 0);
    EXPECT_LE(offAt - writeEndedAt, 5000) << "OFF within 5 ticks of the write's end";
    EXPECT_TRUE(rig.dialogs.messages.empty()) << "no 'did not report OFF' although the write took 40 s";
    EXPECT_EQ(editor->panel(1), "Profile 3 Saved and verified");
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_FALSE(sawHandBackTooEarly);
    rig.expectNoViolations();
}

// A switch-off the station does not complete gives up after its limit, counted from the
// write's end, and keeps the program open; the main window stays with the editor that holds it.
TEST_F(Collision, AFailedSwitchOffBehindASaveKeepsTheMainWindowWithTheEditor) {
    heatersOn(3, 2);
    startSave();
    duringTheWrite(1000, [&] {
        rig.form->close();
        rig.dialogs.answer(Answer::Yes);
    });
    auto silence = rig.clock.createTimer(1, [&] {
        if (writeEndedAt > 0) rig.station.setSilent(true);  // from the write's end on, no answer
    });
    silence->setEnabled(true);
    ASSERT_TRUE(rig.clock.runUntil([&] { return !rig.dialogs.messages.empty(); }, 120000));
    EXPECT_GE(rig.clock.nowMs() - writeEndedAt, app::ExitQuestion::kSwitchOffLimitMs);
    EXPECT_TRUE(rig.dialogs.messages.back().text.contains("program stays open"));
    EXPECT_FALSE(ended());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(rig.form->isEnabled()) << "the editor still holds the main window";
    EXPECT_FALSE(rig.program->warning.isVisible());
}

// The close box of a main window held by an idle editor asks, over the editor, to close
// the editor first; No changes nothing, Yes closes it and leaves.
TEST_F(Collision, TheCloseBoxOfAMainWindowHeldByAnIdleEditorAsksToCloseItFirst) {
    openEditor();
    rig.form->close();
    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.dialogs.questions[0].text, app::Program::kCloseEditorFirst);
    EXPECT_EQ(rig.dialogs.questions[0].owner, editor) << "asked over the editor, not the buried main window";
    ASSERT_TRUE(rig.dialogs.answer(Answer::No));
    rig.clock.advance(2000);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(rig.form->isEnabled());
    EXPECT_FALSE(ended());

    rig.form->close();
    ASSERT_TRUE(rig.dialogs.answer(Answer::Yes));
    EXPECT_FALSE(editor->isVisible());
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 10000));
    EXPECT_TRUE(rig.station.signedOff());
}

// A second termination signal while the exit waits for a save ends at once with the bridge
// closed; the first one only began the orderly exit.
TEST_F(Collision, ASecondSignalWhileTheExitWaitsForASaveEndsAtOnce) {
    app::SignalExit signalExit(*rig.program);
    ASSERT_TRUE(signalExit.installed()) << signalExit.error().toStdString();
    startSave();
    bool first = false, second = false;
    std::size_t callsAtSecond = 0;
    watchEveryMillisecond([&] {
        if (!first && rig.program->profiles.writing()) {
            first = true;
            deliver(signalExit, SIGTERM);
            EXPECT_TRUE(rig.program->warning.isVisible());
            EXPECT_FALSE(ended());
        } else if (first && !second && rig.clock.nowMs() >= 20000) {
            second = true;
            callsAtSecond = rig.bridgeCalls.calls.size();
            deliver(signalExit, SIGINT);
        }
    });
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 60000));
    ASSERT_TRUE(second);
    EXPECT_FALSE(rig.bridge.isOpen());
    EXPECT_EQ(std::vector<std::string>(rig.bridgeCalls.calls.begin() + std::ptrdiff_t(callsAtSecond),
                                       rig.bridgeCalls.calls.end()),
              std::vector<std::string>{"close"});
    EXPECT_FALSE(editor->isVisible());
}

// A termination signal during a defaults upload: the upload finishes and says so, the tool
// closes and the orderly exit follows.
TEST_F(Collision, ASignalDuringADefaultsUploadLetsItFinishThenLeaves) {
    app::SignalExit signalExit(*rig.program);
    ASSERT_TRUE(signalExit.installed());
    rig.program->openDefaults();
    auto* tool = rig.program->defaultsTool();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->parentWidget(), rig.form) << "modal to the main window only";
    EXPECT_EQ(tool->windowModality(), Qt::WindowModal);
    bool sent = false;
    watchEveryMillisecond([&] {
        if (!sent && tool->uploader().busy()) {
            sent = true;
            deliver(signalExit, SIGTERM);
        }
    });
    rig.dialogs.questionAnswers = {platform::Dialogs::Answer::Yes};
    tool->Command3->click();  // runs the 40 s upload inside the click
    ASSERT_TRUE(sent);
    EXPECT_EQ(tool->panel(2), "Profile 2 Uploaded and verified");
    EXPECT_TRUE(warningTexts.count("Waiting for the defaults upload to finish ..."));
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 30000));
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_FALSE(sawHandBackTooEarly);
}

// Closing during a run asks whether to stop it; Yes stops it, and the heater question and
// its switch-off follow.
TEST_F(Collision, ClosingDuringARunAsksThenStopsItAndSwitchesTheHeatersOff) {
    openEditor();
    editor->Text1->setText("100");
    editor->Text3->setText("150");
    editor->Text5->setText("200");
    editor->Text2->setText("ONE");
    editor->Text4->setText("TWO");
    editor->Text6->setText("THREE");
    editor->Combo2->setCurrentIndex(1);  // X1 U.H. REFLOW: the run steps a heater up
    editor->Command5->click();
    ASSERT_TRUE(editor->sequencer().running());
    rig.clock.runUntil([&] { return rig.state.UpperHeaterMode > core::UhOff; }, 60000);
    rig.form->close();
    ASSERT_FALSE(rig.dialogs.questions.empty());
    EXPECT_EQ(rig.dialogs.questions.back().text, app::ExitQuestion::kRunQuestion);
    ASSERT_TRUE(rig.dialogs.answer(Answer::Yes));
    EXPECT_FALSE(editor->sequencer().running());
    if (rig.state.UpperHeaterMode > core::UhOff || rig.state.LowerHeaterMode > core::LhOff) {
        EXPECT_EQ(rig.dialogs.questions.back().text, app::ExitQuestion::kQuestion);
        ASSERT_TRUE(rig.dialogs.answer(Answer::Yes));
    }
    ASSERT_TRUE(rig.clock.runUntil([&] { return ended(); }, 60000));
    EXPECT_EQ(rig.station.upperLevel(), 1);
    EXPECT_EQ(rig.station.lowerLevel(), 1);
    EXPECT_TRUE(rig.station.signedOff());
}

// While a tool holds the main window its menus open nothing.
TEST_F(Collision, TheMenusOfAMainWindowHeldByTheEditorOpenNothing) {
    openEditor();
    ASSERT_FALSE(rig.form->isEnabled());
    rig.form->M_Tools_Defaults->setEnabled(true);
    rig.form->M_Tools_Defaults->trigger();
    rig.form->M_Tools_Options->trigger();
    rig.clock.advance(500);
    EXPECT_EQ(rig.program->defaultsTool(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName() == "OptionsForm" && w->isVisible());
}

// Values not from the latest poll are drawn stale: the defaults tool stops the poller, a
// slot write holds it, the editor pauses the plot.
TEST_F(Collision, LiveValuesAreDrawnStaleWhenPollingPauses) {
    rig.form->Command12_Click();  // "Start Plotting"
    ASSERT_TRUE(rig.state.Settings.AutoTCPlot);
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_FALSE(rig.form->liveValuesStale());
    EXPECT_FALSE(rig.form->legendStale());
    EXPECT_FALSE(rig.form->trendChart().legendText().endsWith(mainwin::TrendChart::kNotLive));

    rig.program->openDefaults();
    const std::int64_t opened = rig.clock.nowMs();
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.form->liveValuesStale(); }, 1000));
    EXPECT_LE(rig.clock.nowMs() - opened, 1000);
    EXPECT_EQ(rig.form->findChild<QLabel*>("TemperatureCaption")->text(), "Board Temperature (not updated)");
    EXPECT_TRUE(rig.form->trendChart().legendText().endsWith(mainwin::TrendChart::kNotLive))
        << rig.form->trendChart().legendText().toStdString();
    rig.program->defaultsTool()->Command6->click();
    ASSERT_TRUE(rig.clock.runUntil([&] { return !rig.form->liveValuesStale(); }, 3000));
    EXPECT_FALSE(rig.form->trendChart().legendText().endsWith(mainwin::TrendChart::kNotLive));

    startSave();
    bool legendStale = false, valuesStale = false;
    duringTheWrite(300, [&] {  // drawn stale as soon as the write holds the link
        legendStale = rig.form->legendStale();
        valuesStale = rig.form->liveValuesStale();
    });
    ASSERT_TRUE(rig.clock.runUntil([&] { return !editor->locked(); }, 90000));
    EXPECT_TRUE(legendStale) << "the editor pauses the plot";
    EXPECT_TRUE(valuesStale) << "no poll while the write holds the link";
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_FALSE(rig.form->liveValuesStale());
}

// The editor's message boxes stand over the editor.
TEST_F(Collision, TheEditorsDataErrorBelongsToTheEditor) {
    openEditor();
    editor->Text4->setText("SOAK:");
    ASSERT_FALSE(rig.dialogs.messages.empty());
    EXPECT_EQ(rig.dialogs.messages.back().title, "Data Error");
    EXPECT_EQ(rig.dialogs.messages.back().owner, editor);
}

// A run the board no longer answers: the guard stops it, the heaters go OFF without anyone's
// help and the record says why. The whole program against the simulated station, on virtual
// time; one scenario per reason.
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {

struct GuardedRun : ::testing::Test {
    ProgramRig rig{ProgramRig::settingsWith("AutoUSB", "1")};
    profiles::Profile_Editor_Form* editor = nullptr;
    QStringList events;

    void SetUp() override {
        rig.start();
        ASSERT_TRUE(rig.runTicks(1));
        rig.program->openEditor(false, false);
        editor = rig.program->editor();
        ASSERT_NE(editor, nullptr);
        editor->setRunObserver([this](const QString& e) { events << e; });
    }
    // X1 60 C in park with L.H. PERHEAT; X2 and X3 in normal mode with both heaters on.
    void enterProfile(int x1, int x2, int x3) {
        const int temps[] = {x1, x2, x3};
        for (int p = 0; p < 3; ++p) {
            editor->temperatureBox(p)->setText(QString::number(temps[p]));
            editor->messageBox(p)->setText(QString("POINT %1").arg(p + 1));
            editor->lowerList(p)->setCurrentIndex(p == 0 ? 1 : 2);
            editor->upperList(p)->setCurrentIndex(p == 0 ? 0 : 1);
        }
    }
    void runConfirmed() {
        editor->Command5->click();
        ASSERT_TRUE(rig.clock.runUntil([&] { return editor->alert().loaded(); }, 5000));
        editor->alert().form()->Command1->click();
    }
    // Confirmed in park, X1 reached, then the station put in normal mode for X2 and X3.
    void runPastX1() {
        rig.station.setMachineMode(core::PositionPark);
        runConfirmed();
        ASSERT_TRUE(reached("reached X1"));
        rig.station.setMachineMode(core::PositionNormal);
    }
    bool reached(const QString& e, std::int64_t withinMs = 30 * 60 * 1000) {
        return rig.clock.runUntil([&] { return events.contains(e); }, withinMs);
    }
    bool guarded(std::int64_t withinMs) {
        return rig.clock.runUntil([&] { return !guardReason().isEmpty(); }, withinMs);
    }
    QString guardReason() const {
        for (const QString& e : events)
            if (e.startsWith("guarded: ")) return e.mid(9);
        return {};
    }
    bool heatersOff() const { return rig.station.upperLevel() == 1 && rig.station.lowerLevel() == 1; }
    // What the guard promised: its alert and text, both heaters OFF within five polls, the
    // fan on, the alarm rules back and the outcome in the summary.
    void expectGuardActed(const QString& reason) {
        EXPECT_EQ(guardReason(), reason);
        EXPECT_EQ(editor->panel(1), "Process: Stopped by the guard: " + reason);
        ASSERT_TRUE(editor->alert().loaded());
        EXPECT_EQ(editor->alert().form()->Label1->text(), "Run stopped by the guard");
        EXPECT_EQ(editor->alert().form()->Label2->text(), reason);
        EXPECT_FALSE(rig.state.ProfileRunActive) << "the safety rule is back";
        EXPECT_EQ(editor->Command5->text(), "Run");
        EXPECT_TRUE(rig.runTicks(5));
        EXPECT_TRUE(heatersOff());
        EXPECT_TRUE(rig.runTicks(2));
        EXPECT_TRUE(rig.station.fanOn()) << "the board is cooled as at the end of a run";
        QFile summary(editor->record().basePath() + ".txt");
        ASSERT_TRUE(summary.open(QIODevice::ReadOnly));
        EXPECT_TRUE(summary.readAll().contains(("outcome: guarded: " + reason).toLatin1()));
        editor->alert().form()->Command1->click();
        EXPECT_TRUE(rig.clock.runUntil([&] { return !editor->alert().loaded(); }, 1000)) << "OK closes it";
        EXPECT_TRUE(editor->isEnabled());
        rig.expectNoViolations();
    }
};

}  // namespace

TEST_F(GuardedRun, AModeWaitLeftUnansweredWithTheLowerHeaterOnStopsBeforeTheBoardPasses140) {
    enterProfile(60, 100, 120);
    runConfirmed();
    rig.station.setMachineMode(core::PositionPark);  // X1 wants park; X2 will want normal
    ASSERT_TRUE(reached("alert: Set Machine to NORMAL Mode"));
    ASSERT_TRUE(guarded(10 * 60 * 1000));
    EXPECT_LE(rig.station.boardTemperature(), 140.0);
    testsupport::saveShot(*editor, "guard-editor.png");
    testsupport::saveShot(*editor->alert().form(), "guard-alert.png");
    expectGuardActed("waited 120 s for the machine mode with a heater on");
}

TEST_F(GuardedRun, AThermocoupleOffTheBoardInTheX2ApproachStopsWithinTheNoRiseLimitPlusTwoSeconds) {
    enterProfile(60, 140, 180);
    runPastX1();
    ASSERT_TRUE(reached("state 12"));
    rig.clock.advance(5000);
    rig.station.setThermocoupleDetached(true);
    const std::int64_t detachedAt = rig.clock.nowMs();
    ASSERT_TRUE(guarded(5 * 60 * 1000));
    EXPECT_LE(rig.clock.nowMs() - detachedAt, (90 + 2) * 1000);
    EXPECT_GT(rig.station.boardTemperature(), rig.station.thermocoupleReading() + 20) << "the board heated on";
    expectGuardActed("no temperature rise for 90 s with a heater on");
}

TEST_F(GuardedRun, ADeadLowerHeaterAtX1StopsTheRun) {
    enterProfile(60, 100, 120);
    rig.station.setMachineMode(core::PositionPark);
    rig.station.setHeaterDead(simulator::Heater::Lower, true);
    runConfirmed();
    ASSERT_TRUE(reached("state 6"));
    ASSERT_TRUE(guarded(5 * 60 * 1000));
    EXPECT_EQ(rig.station.lowerLevel(), 2) << "the station reports the level it was set to";
    expectGuardActed("no temperature rise for 90 s with a heater on");
}

TEST_F(GuardedRun, ABoardPastX3PlusTheMarginStopsTheRun) {
    enterProfile(40, 60, 80);
    runPastX1();
    ASSERT_TRUE(reached("state 17"));
    rig.station.setBoardTemperature(105);  // a heater that will not come down
    ASSERT_TRUE(guarded(5000));
    expectGuardActed("the board passed 100 C");
}

TEST_F(GuardedRun, AStationUnpluggedFor40SecondsStopsTheRunAndTheGapStaysAGap) {
    enterProfile(60, 100, 120);
    rig.station.setMachineMode(core::PositionPark);
    runConfirmed();
    ASSERT_TRUE(reached("state 6"));
    rig.clock.advance(10000);
    rig.station.unplug();
    ASSERT_TRUE(guarded(35000));
    EXPECT_EQ(guardReason(), "the link was lost for 30 s");
    EXPECT_FALSE(heatersOff()) << "nothing can be switched while the cable is out";
    rig.clock.advance(10000);
    rig.station.replug();
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.state.MachineOnline && rig.state.LastStatusMs >= 0 &&
                                                rig.clock.nowMs() - rig.state.LastStatusMs < 1500; },
                                   30000));
    ASSERT_TRUE(rig.runTicks(5));
    EXPECT_TRUE(heatersOff()) << "switched off as soon as the link is back";

    // The record: rows without a reading through the outage, said at once, and the outage named.
    const auto& rows = editor->record().rows();
    int silent = 0;
    bool said = false;
    for (const auto& r : rows) {
        if (r.noReply) {
            ++silent;
            EXPECT_FALSE(r.boardC) << "no made-up reading at " << r.elapsedS;
        }
        said = said || r.event == "no reply";
    }
    EXPECT_TRUE(said);
    EXPECT_GE(silent, 29);
    QFile summary(editor->record().basePath() + ".txt");
    ASSERT_TRUE(summary.open(QIODevice::ReadOnly));
    const QByteArray text = summary.readAll();
    EXPECT_TRUE(text.contains("outcome: guarded: the link was lost for 30 s"));
    EXPECT_TRUE(text.contains("outages: link lost for 29 s at 00:")) << text.constData();
    if (!qgetenv("KR_SCREENSHOT_DIR").isEmpty())
        QFile::copy(editor->record().basePath() + ".png", qgetenv("KR_SCREENSHOT_DIR") + "/guard-unplug-run.png");
}

TEST_F(GuardedRun, StopWithAHeaterOnAsksAndYesSwitchesBothOffWithinFiveSeconds) {
    enterProfile(60, 100, 120);
    editor->upperList(0)->setCurrentIndex(1);  // X1: U.H. REFLOW first, then L.H. PERHEAT
    rig.station.setMachineMode(core::PositionPark);
    runConfirmed();
    ASSERT_TRUE(reached("state 4"));  // the lower heater stepping, the upper one on
    ASSERT_GT(rig.station.upperLevel(), 1);
    editor->Command5->click();
    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.dialogs.questions[0].text, "Switch the heaters off now?");
    const std::int64_t answeredAt = rig.clock.nowMs();
    rig.dialogs.answer(platform::Dialogs::Answer::Yes);
    ASSERT_TRUE(rig.clock.runUntil([&] { return heatersOff(); }, 10000));
    EXPECT_LE(rig.clock.nowMs() - answeredAt, 5000);
    EXPECT_FALSE(rig.state.ProfileRunActive);
}

TEST_F(GuardedRun, CancelWithAHeaterOnAnsweredNoLeavesThemAndSaysWhichAreOn) {
    enterProfile(60, 100, 120);
    runPastX1();
    ASSERT_TRUE(reached("alert: Preheating Zone"));
    editor->alert().form()->close();  // the close box counts as Cancel
    ASSERT_TRUE(reached("terminate", 5000));
    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    rig.dialogs.answer(platform::Dialogs::Answer::No);
    EXPECT_TRUE(editor->panel(1).startsWith("Process: Profile Terminated by User. Heaters left on: "))
        << editor->panel(1).toStdString();
    EXPECT_TRUE(editor->panel(1).contains("L.H. "));
    EXPECT_TRUE(rig.runTicks(5));
    EXPECT_FALSE(heatersOff()) << "No leaves them as they are";
    EXPECT_TRUE(editor->isEnabled()) << "the operator is not trapped behind the alert";
}

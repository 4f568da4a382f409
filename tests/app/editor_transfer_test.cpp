// Retrieve and Save from the editor, through the whole program, against the simulated
// station: what the operator reads must be what the slot holds.
#include "simulator/factory_data.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {

struct EditorTransfer : ::testing::Test {
    ProgramRig rig{ProgramRig::settingsWith("AutoUSB", "1")};
    profiles::Profile_Editor_Form* editor = nullptr;

    void SetUp() override {
        rig.start();
        ASSERT_TRUE(rig.runTicks(1));
        ASSERT_TRUE(rig.state.MachineOnline);
        rig.program->openEditor(false, false);
        editor = rig.program->editor();
        ASSERT_NE(editor, nullptr);
    }
    template <typename W>
    W* find(const char* name) {
        return editor->findChild<W*>(name);
    }
    QString status() const { return editor->panel(1); }
    // Until the editor is given back (unlocked), within a bound the operator would accept.
    bool givenBack(int withinMs = 60000) {
        return rig.clock.runUntil([&] { return !editor->locked(); }, withinMs);
    }
    QByteArray slotName(int slot) {
        return QByteArray(reinterpret_cast<const char*>(rig.station.profile(slot).data()), 12);
    }
    void enterProfile(const QString& name) {
        find<QLineEdit>("Text7")->setText(name);
        const char* temps[] = {"Text1", "Text3", "Text5"};
        const char* values[] = {"120", "170", "230"};
        for (int i = 0; i < 3; ++i) find<QLineEdit>(temps[i])->setText(values[i]);
        find<QLineEdit>("Text2")->setText("START");
        find<QLineEdit>("Text4")->setText("SOAK");
        find<QLineEdit>("Text6")->setText("PICK NOW");
        find<QComboBox>("Combo5")->setCurrentIndex(3);
        find<QComboBox>("Combo6")->setCurrentIndex(2);
    }
};

}  // namespace

TEST_F(EditorTransfer, RetrieveShowsTheSlotAndItsCurve) {
    find<QRadioButton>("Option2")->click();
    find<QPushButton>("Command6")->click();
    EXPECT_TRUE(editor->locked());
    EXPECT_EQ(status(), "Retreiving Profile 2 ... ");
    ASSERT_TRUE(givenBack());
    EXPECT_EQ(status(), "Profile 2 Retreived successfully");
    EXPECT_EQ(find<QLineEdit>("Text7")->text(), "NORTH BRIDGE");
    EXPECT_EQ(find<QLineEdit>("Text8")->text(), "Profile 2 on the KR-9300");
    EXPECT_EQ(find<QLineEdit>("Text1")->text(), "60");
    EXPECT_EQ(find<QLineEdit>("Text6")->text(), "PICK COMPONENT NOW ");
    EXPECT_EQ(find<QComboBox>("Combo5")->currentText(), "FAST REFLOW");
    EXPECT_EQ(rig.state.X3SetPointC, 180);
    EXPECT_NEAR(editor->chart().profileCurve()[130], 180, 1e-6) << "the retrieved profile's curve is drawn";
    testsupport::saveShot(*editor, "editor-retrieved.png");
    rig.expectNoViolations();
}

TEST_F(EditorTransfer, SaveWritesTheSlotAndVerifiesItByReadingItBack) {
    enterProfile("HOT AIR 1");
    find<QRadioButton>("Option3")->click();
    find<QPushButton>("Command7")->click();
    EXPECT_EQ(status(), "Saving Profile 3 ... ");
    ASSERT_TRUE(givenBack());
    EXPECT_EQ(status(), "Profile 3 Saved and verified");
    EXPECT_EQ(slotName(3), QByteArray("HOT AIR 1   "));
    EXPECT_EQ(rig.station.profile(3)[80], 15 * 16 + 3) << "X3 L.H. FAST REFLOW, U.H. FAST REFLOW";
    EXPECT_EQ(rig.station.profile(1), simulator::factoryProfile(1)) << "only the chosen slot is written";
    EXPECT_EQ(rig.station.profile(2), simulator::factoryProfile(2));
    rig.expectNoViolations();
}

TEST_F(EditorTransfer, ASlotThatHoldsOtherDataThanWasSentFailsTheVerify) {
    enterProfile("HOT AIR 2");
    find<QRadioButton>("Option1")->click();
    find<QPushButton>("Command7")->click();
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.state.EditorState == core::EditorVerifyPending; }, 60000));
    rig.station.profile(1)[40] ^= 0x01;  // the station kept one message byte wrong
    ASSERT_TRUE(givenBack());
    EXPECT_EQ(status(), "Profile 1 verify failed: the station holds different data");
}

TEST_F(EditorTransfer, AStationSaveCountsItsBytesAndTheSecondsLeftInPanelTwo) {
    enterProfile("COUNTED");
    find<QPushButton>("Command7")->click();
    // "Saving Profile 1 ... 23/81, 29 s left", read every ten seconds (inside the write's waits).
    const QRegularExpression shape("^Saving Profile 1 \\.\\.\\. (\\d+)/81, (\\d+) s left$");
    std::vector<std::pair<int, int>> seen;
    auto look = rig.clock.createTimer(10000, [&] {
        const QRegularExpressionMatch m = shape.match(editor->panel(2));
        if (m.hasMatch()) seen.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
    });
    look->setEnabled(true);
    ASSERT_TRUE(givenBack());
    ASSERT_GE(seen.size(), 3u);
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_GE(seen[i].first - seen[i - 1].first, 19) << "two bytes a second";
        EXPECT_LT(seen[i].second, seen[i - 1].second);
    }
    EXPECT_EQ(status(), "Profile 1 Saved and verified");
    EXPECT_EQ(editor->panel(2), "");
}

// Leaving the program with changed boxes asks the save question alone, over the editor.
TEST_F(EditorTransfer, LeavingWithChangesAsksOnlyTheSaveQuestionOverTheEditor) {
    find<QLineEdit>("Text7")->setText("CHANGED");
    rig.form->M_File_Exit->trigger();
    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.dialogs.questions[0].text, "Save the changes to CHANGED?");
    EXPECT_EQ(rig.dialogs.questions[0].owner, editor);
    EXPECT_TRUE(rig.dialogs.answer(platform::Dialogs::Answer::No));
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.form->programEnded(); }, 120000));
    EXPECT_EQ(rig.dialogs.questions.size(), 1u);
}

TEST_F(EditorTransfer, AnUnpluggedCableEndsTheSaveWithAFailureAndGivesTheEditorBack) {
    enterProfile("HOT AIR 3");
    find<QRadioButton>("Option2")->click();
    const QByteArray before = slotName(2);
    find<QPushButton>("Command7")->click();
    rig.clock.advance(300);
    rig.station.unplug();
    ASSERT_TRUE(givenBack());
    EXPECT_EQ(status(), "Profile 2 Save failed - see the main window's log");
    EXPECT_EQ(slotName(2), before) << "half a frame is not stored";
    for (QWidget* w : editor->lockableControls()) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    // The reason is in the editor itself, and stays once the offline note would come.
    rig.clock.advance(2000);
    EXPECT_TRUE(editor->panel(2).startsWith("Reason: the KR-9300 went offline")) << editor->panel(2).toStdString();
    EXPECT_EQ(editor->findChild<QLabel*>("StatusBar1_Panel2")->toolTip(), editor->panel(2));
    testsupport::saveShot(*editor, "editor-save-failed.png");
}

TEST_F(EditorTransfer, AStationThatStopsAnsweringEndsTheRetrieveWithinAMinuteAndShowsNothingOfIt) {
    simulator::FaultRates rates;
    rates.lost = 1.0;
    rig.station.faults().setRates(rates);
    find<QRadioButton>("Option3")->click();
    find<QPushButton>("Command6")->click();
    ASSERT_TRUE(givenBack(70000)) << "a station that stopped answering does not hold the editor";
    EXPECT_EQ(status(), "Profile 3 Retrieve failed - the station did not answer");
    EXPECT_FALSE(rig.state.RequestFlags[core::SlotProfileRead]) << "the request is withdrawn";
    EXPECT_EQ(find<QLineEdit>("Text7")->text(), "Untitled") << "nothing of the slot is shown";
}

TEST_F(EditorTransfer, ALostProfileReplyEndsTheTransferWithItsFailureAndALaterSaveSucceeds) {
    // The reply to the profile read itself is lost: the poller serves the request, the exchange fails.
    auto watch = rig.clock.createTimer(1, [&] {
        simulator::FaultRates rates;
        rates.lost = rig.state.ServingSlot == core::SlotProfileRead ? 1.0 : 0.0;
        rig.station.faults().setRates(rates);
    });
    watch->setEnabled(true);
    find<QRadioButton>("Option1")->click();
    find<QPushButton>("Command6")->click();
    ASSERT_TRUE(givenBack());
    EXPECT_EQ(status(), "Profile 1 Retrieve failed - see the main window's log");
    EXPECT_EQ(rig.state.Transfer.ProfileNumber, 0) << "no stale request for the next connect";
    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
    watch->setEnabled(false);
    rig.station.faults().setRates(simulator::FaultRates::none());

    enterProfile("AFTER LOSS");
    find<QPushButton>("Command7")->click();
    ASSERT_TRUE(givenBack());
    EXPECT_EQ(status(), "Profile 1 Saved and verified");
    EXPECT_EQ(slotName(1), QByteArray("AFTER LOSS  "));
}

TEST_F(EditorTransfer, ARetrieveWaitsItsTurnBehindTheHeaterAndFanRequestsOneExchangeAtATime) {
    rig.state.RequestFlags[core::SlotFan] = true;
    rig.state.RequestFlags[core::SlotUpperHeaterUp] = true;
    const std::size_t before = rig.station.frames().size();
    find<QRadioButton>("Option2")->click();
    find<QPushButton>("Command6")->click();
    ASSERT_TRUE(givenBack());
    EXPECT_EQ(status(), "Profile 2 Retreived successfully");
    // The opcodes after the status polls, in the order the station received them.
    std::vector<int> served;
    for (std::size_t i = before; i < rig.station.frames().size(); ++i) {
        const auto& bytes = rig.station.frames()[i].bytes;
        const int opcode = bytes.size() > 3 ? bytes[3] : -1;
        if (opcode != 0x01) served.push_back(opcode);
    }
    ASSERT_GE(served.size(), 3u);
    EXPECT_EQ(served.back(), 0xE6) << "the profile read comes last, after the heater step and the fan";
    rig.expectNoViolations();
}

// A write that fails mid-frame leaves the station half-way through the frame; the status
// poll that followed within its second was read as the rest of it.
TEST_F(EditorTransfer, AProfileFrameCutShortByAFailedWriteDoesNotRunIntoTheNextPoll) {
    enterProfile("CUT SHORT");
    find<QRadioButton>("Option3")->click();
    auto watch = rig.clock.createTimer(1, [&] {
        if (rig.state.ServingSlot == core::SlotProfileWrite && rig.bridgeCalls.failWrite == 0)
            rig.bridgeCalls.failWrite = rig.bridgeCalls.writes + 3;  // the frame's length byte
    });
    watch->setEnabled(true);
    find<QPushButton>("Command7")->click();
    ASSERT_TRUE(givenBack());
    EXPECT_EQ(status(), "Profile 3 Save failed - see the main window's log");
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_TRUE(rig.poller->lastPollSucceeded());
    rig.expectNoViolations();
}

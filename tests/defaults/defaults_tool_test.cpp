// The defaults tool against the simulated station, opened from the main window's menu.
#include "app/signal_exit.h"
#include "defaults/default_data.h"
#include "defaults/form_defaults.h"
#include "link/profile_payload.h"
#include "profiles/profile_editor_form.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <csignal>

using defaults::Form_Defaults;
using testsupport::ProgramRig;
using testsupport::saveShot;

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> l) { return {l.begin(), l.end()}; }

struct Tool {
    explicit Tool(int firmware = 7) : rig(ProgramRig::settingsWith("AutoUSB", "1"), firmware) {
        rig.start();
        EXPECT_TRUE(rig.runTicks(1));
    }
    Form_Defaults& open() {
        rig.form->M_Tools_Defaults->trigger();
        EXPECT_TRUE(rig.clock.runUntil([&] { return rig.program->defaultsTool() != nullptr; }, 5000));
        if (!rig.program->defaultsTool()) throw std::runtime_error("the tool did not open");
        return *rig.program->defaultsTool();
    }
    // Presses a button, says yes to its question, and lets the upload run to its end on
    // virtual time.
    void press(QPushButton* b) {
        if (b != rig.program->defaultsTool()->Command5) rig.dialogs.questionAnswers = {platform::Dialogs::Answer::Yes};
        rig.clock.schedule(0, [b] { b->click(); });
        rig.clock.advance(1);
        rig.clock.runUntil([&] { return !rig.program->defaultsTool()->uploader().busy(); }, 120000);
    }
    // The last frame of `size` bytes or more the station took (a profile upload is followed
    // by its read-back).
    std::vector<std::uint8_t> lastFrame(std::size_t size = 5) const {
        for (auto f = rig.station.frames().rbegin(); f != rig.station.frames().rend(); ++f)
            if (f->bytes.size() >= size) return f->bytes;
        return {};
    }
    ProgramRig rig;
};

}  // namespace

TEST(DefaultsTool, SettingsUploadByFirmware) {
    {
        Tool t(7);
        Form_Defaults& tool = t.open();
        EXPECT_EQ(tool.windowTitle(), "KR-9300 Defaults Uploading Tool");
        EXPECT_EQ(tool.panel(1), "Ready ...");
        EXPECT_FALSE(tool.Command5->isEnabled()) << "online: the tool uses the main window's bridge";
        EXPECT_FALSE(t.rig.poller->USB_Service_Timer().enabled());
        t.press(tool.Command1);
        EXPECT_EQ(t.lastFrame(), bytes({0xAA, 0x06, 0x10, 0x50, 0x00, 0x08, 0x0A, 0x0F, 0x00, 0x06, 0x3C, 0x00, 0xCD,
                                        0x05, 0x00, 0x30, 0x32, 0x01, 0x0E}));
        EXPECT_EQ(tool.panel(2), "EEPROM Uploaded OK");
        EXPECT_EQ(t.rig.station.settings()[14], 14);
        t.rig.expectNoViolations();
    }
    {
        Tool t(5);
        Form_Defaults& tool = t.open();
        t.press(tool.Command1);
        EXPECT_EQ(t.lastFrame(), bytes({0xAA, 0xF5, 0x0E, 0x50, 0x00, 0x08, 0x0A, 0x0F, 0x00, 0x06, 0x3C, 0x00, 0xCD,
                                        0x05, 0x00, 0x30, 0x32}));
        EXPECT_EQ(tool.panel(2), "EEPROM Uploaded OK");
        t.rig.expectNoViolations();
    }
}

TEST(DefaultsTool, ProfileTwoGoesIntoSlotTwoPacedAndWholeButtonsOffMeanwhile) {
    Tool t;
    Form_Defaults& tool = t.open();
    const std::int64_t start = t.rig.clock.nowMs();
    // Ten seconds into the upload (the waits run other events meanwhile): what the
    // operator sees, and the close box.
    bool looked = false;
    t.rig.clock.schedule(10000, [&] {
        looked = true;
        EXPECT_TRUE(tool.uploader().busy());
        for (QPushButton* b : {tool.Command1, tool.Command2, tool.Command3, tool.Command4, tool.Command5, tool.Command6})
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_TRUE(tool.panel(2).startsWith("Uploading ... Please wait  byte ")) << tool.panel(2).toStdString();
        EXPECT_TRUE(tool.panel(2).endsWith(" of 85")) << tool.panel(2).toStdString();
        tool.Command1->click();  // disabled: nothing starts
    });
    t.press(tool.Command3);
    EXPECT_TRUE(looked);
    ASSERT_TRUE(t.rig.clock.runUntil([&] { return !tool.uploader().busy(); }, 120000));
    EXPECT_GE(t.rig.clock.nowMs() - start, 40500);
    EXPECT_EQ(tool.panel(2), "Profile 2 Uploaded and verified");
    const auto frame = t.lastFrame();
    ASSERT_EQ(frame.size(), 85u);
    EXPECT_EQ(frame[3], 0xA6);
    EXPECT_EQ(std::vector<std::uint8_t>(frame.end() - 3, frame.end()), bytes({0x81, 0xA2, 0xF2}));
    const stationlink::ProfilePayload expected = stationlink::encodeProfilePayload(defaults::defaultProfiles()[1]);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), t.rig.station.profile(2).begin()));
    EXPECT_EQ(std::string(t.rig.station.profile(2).begin(), t.rig.station.profile(2).begin() + 12), "NORTH BRIDGE");
    saveShot(tool, "defaults_tool.png");

    // Read back through the editor's Retrieve once the tool has given the poller back.
    tool.Command6->click();
    ASSERT_TRUE(t.rig.runTicks(2));
    t.rig.program->openEditor(false, false);
    profiles::Profile_Editor_Form& editor = *t.rig.program->editor();
    editor.Option2->click();
    editor.Command6->click();
    ASSERT_TRUE(t.rig.clock.runUntil([&] { return !editor.locked(); }, 60000));
    EXPECT_EQ(editor.panel(1), "Profile 2 Retreived successfully");
    EXPECT_EQ(editor.Text7->text(), "NORTH BRIDGE");
    EXPECT_EQ(editor.Text1->text(), "60");
    EXPECT_EQ(editor.Combo5->currentText(), "FAST REFLOW") << "mode byte 0xF2: L.H. code 15";
    EXPECT_EQ(editor.Combo6->currentText(), "REFLOW") << "and U.H. code 2";
    t.rig.expectNoViolations();
}

TEST(DefaultsTool, OfflineWithoutABridgeOnlyDetectAndExitWork) {
    Tool t;
    t.rig.station.unplug();
    ASSERT_TRUE(t.rig.clock.runUntil([&] { return !t.rig.state.MachineOnline; }, 60000));
    ASSERT_TRUE(t.rig.form->M_Tools_Defaults->isEnabled() == false);
    t.rig.program->openDefaults();
    Form_Defaults& tool = *t.rig.program->defaultsTool();
    EXPECT_EQ(tool.panel(2), "Port Open Failed");
    EXPECT_EQ(tool.panel(1), "KR-9300 Status: Offline");
    for (QPushButton* b : {tool.Command1, tool.Command2, tool.Command3, tool.Command4}) EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(tool.Command5->isEnabled());
    EXPECT_TRUE(tool.Command6->isEnabled());
    t.rig.station.replug();
    t.press(tool.Command5);
    EXPECT_EQ(tool.panel(1), "KR-9300 Status: Online");
    t.press(tool.Command5);  // a second press closes the first handle and succeeds again
    EXPECT_EQ(tool.panel(1), "KR-9300 Status: Online");
    EXPECT_TRUE(tool.Command2->isEnabled());
}

TEST(DefaultsTool, ALostReplyClosesTheBridgeAndExitBringsThePollerBack) {
    Tool t;
    Form_Defaults& tool = t.open();
    t.rig.station.setSilent(true);
    const std::int64_t start = t.rig.clock.nowMs();
    t.press(tool.Command2);
    EXPECT_EQ(tool.panel(2), "Check Machine USB Mode");
    EXPECT_GE(t.rig.clock.nowMs() - start, 40000 + 20000);
    EXPECT_FALSE(t.rig.state.PortOpen);
    EXPECT_TRUE(tool.Command5->isEnabled()) << "Detect is the way back";
    t.rig.station.setSilent(false);
    t.press(tool.Command1);
    EXPECT_EQ(tool.panel(2), "Write Error");
    EXPECT_TRUE(t.rig.state.Diagnostics.lines().filter("Write Error").isEmpty()) << "the tool keeps its texts";

    tool.Command6->click();
    EXPECT_TRUE(t.rig.form->isEnabled());
    EXPECT_TRUE(t.rig.poller->USB_Service_Timer().enabled());
    ASSERT_TRUE(t.rig.runTicks(3));
    EXPECT_TRUE(t.rig.state.MachineOnline);
    EXPECT_EQ(t.rig.form->StatusBar1[0]->text(), "KR-9300 Status: Online");
}

TEST(DefaultsTool, ChosenDuringAPollerExchangeItWaitsForTheTickToEnd) {
    Tool t;
    // The menu is chosen while the poller waits for a reply (a callback that runs inside
    // the poller's pumped wait).
    bool chosen = false;
    std::function<void()> tryChoose = [&] {
        if (chosen) return;
        if (t.rig.state.TransactionActive && t.rig.state.PollerBusy) {
            chosen = true;
            t.rig.program->openDefaults();
            EXPECT_EQ(t.rig.program->defaultsTool(), nullptr) << "not while the tick waits";
            return;
        }
        t.rig.clock.schedule(3, tryChoose);
    };
    t.rig.clock.schedule(0, tryChoose);
    ASSERT_TRUE(t.rig.clock.runUntil([&] { return t.rig.program->defaultsTool() != nullptr; }, 5000));
    EXPECT_TRUE(chosen);
    EXPECT_FALSE(t.rig.state.PollerBusy);
    Form_Defaults& tool = *t.rig.program->defaultsTool();
    t.press(tool.Command1);
    EXPECT_EQ(tool.panel(2), "EEPROM Uploaded OK");
    t.rig.expectNoViolations();
}

TEST(DefaultsTool, ATerminationSignalDuringAnUploadLetsItFinishThenLeavesInOrder) {
    Tool t;
    Form_Defaults& tool = t.open();
    app::SignalExit signalExit(*t.rig.program);
    ASSERT_TRUE(signalExit.installed()) << signalExit.error().toStdString();
    bool sent = false;
    auto w = t.rig.clock.createTimer(1, [&] {
        if (sent || !tool.uploader().busy()) return;
        sent = true;
        ASSERT_EQ(::raise(SIGTERM), 0);
        for (int i = 0; i < 100 && signalExit.signalsSeen() == 0; ++i) QCoreApplication::processEvents();
    });
    w->setEnabled(true);
    t.rig.dialogs.questionAnswers = {platform::Dialogs::Answer::Yes};
    t.rig.clock.schedule(0, [&] { tool.Command2->click(); });  // profile 1: forty seconds of pacing
    // The upload finishes, the tool closes and gives the poller back, then the orderly exit runs.
    ASSERT_TRUE(t.rig.clock.runUntil([&] { return t.rig.form->programEnded(); }, 120000));
    const stationlink::ProfilePayload expected = stationlink::encodeProfilePayload(defaults::defaultProfiles()[0]);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), t.rig.station.profile(1).begin()));
    EXPECT_TRUE(t.rig.station.signedOff()) << "the exit handed the settings back and signed off";
    const std::size_t calls = t.rig.bridgeCalls.calls.size();
    t.rig.clock.advance(60000);
    EXPECT_EQ(t.rig.bridgeCalls.calls.size(), calls) << "nothing of the upload runs after the end";
}

TEST(DefaultsTool, ASecondSignalDuringAnUploadEndsAtOnceAndTheUploadSendsNoMore) {
    Tool t;
    Form_Defaults& tool = t.open();
    app::SignalExit signalExit(*t.rig.program);
    ASSERT_TRUE(signalExit.installed()) << signalExit.error().toStdString();
    int sent = 0;
    std::size_t callsAtEnd = 0;
    auto w = t.rig.clock.createTimer(1, [&] {
        if (sent >= 2 || !tool.uploader().busy()) return;
        ++sent;
        ASSERT_EQ(::raise(sent == 1 ? SIGTERM : SIGINT), 0);
        for (int i = 0; i < 100 && signalExit.signalsSeen() < sent; ++i) QCoreApplication::processEvents();
        callsAtEnd = t.rig.bridgeCalls.calls.size();
    });
    w->setEnabled(true);
    t.rig.dialogs.questionAnswers = {platform::Dialogs::Answer::Yes};
    t.rig.clock.schedule(0, [&] { tool.Command2->click(); });
    ASSERT_TRUE(t.rig.clock.runUntil([&] { return t.rig.form->programEnded(); }, 120000));
    EXPECT_EQ(sent, 2);
    t.rig.clock.advance(60000);
    EXPECT_LE(t.rig.bridgeCalls.calls.size(), callsAtEnd + 1) << "at most the bridge's close after the end";
    EXPECT_NE(tool.panel(2), "Profile 1 Uploaded OK");
}

// A window closed inside a pumped wait is deleted only when control is back in the main
// loop; until then the menu opened nothing new and an upload ran beside the poller.
TEST(DefaultsTool, ReopenedBeforeTheClosedOneIsDeletedItIsANewToolAndThePollerStops) {
    Tool t;
    Form_Defaults* first = &t.open();
    first->Command6->click();  // closed; its deletion waits for the event loop
    ASSERT_TRUE(t.rig.poller->USB_Service_Timer().enabled());
    Form_Defaults& second = t.open();
    EXPECT_NE(&second, first);
    EXPECT_TRUE(second.isVisible());
    EXPECT_FALSE(t.rig.poller->USB_Service_Timer().enabled()) << "the tool holds the poller again";

    second.Command6->click();
    t.rig.program->openEditor(false, false);
    profiles::Profile_Editor_Form* editor = t.rig.program->editor();
    ASSERT_NE(editor, nullptr);
    editor->Command1->click();
    t.rig.program->openEditor(false, false);
    EXPECT_NE(t.rig.program->editor(), editor);
    EXPECT_TRUE(t.rig.program->editor()->isVisible()) << "the editor opens again at once too";
}

// A write that fails mid-frame leaves the station half-way through it; the next upload,
// pressed at once, used to run into that frame and was read as its rest.
TEST(DefaultsTool, AnUploadRightAfterAWriteFailedMidFrameWaitsForTheStationToDropIt) {
    Tool t;
    Form_Defaults& tool = t.open();
    t.rig.bridgeCalls.failWrite = t.rig.bridgeCalls.writes + 3;  // the checksum of the next frame
    t.press(tool.Command3);
    EXPECT_EQ(tool.panel(2), "Write Error");
    t.press(tool.Command3);
    EXPECT_EQ(tool.panel(2), "Profile 2 Uploaded and verified");
    t.rig.expectNoViolations();
}

TEST(DefaultsTool, EachUploadAsksFirstOverTheToolAndNoSendsNothing) {
    Tool t;
    Form_Defaults& tool = t.open();
    const std::size_t frames = t.rig.station.frames().size();
    t.rig.dialogs.questionAnswers = {platform::Dialogs::Answer::No, platform::Dialogs::Answer::No};
    tool.Command1->click();
    tool.Command3->click();
    ASSERT_EQ(t.rig.dialogs.questions.size(), 2u);
    EXPECT_EQ(t.rig.dialogs.questions[0].text, "Overwrite the KR-9300's settings with the factory settings?");
    EXPECT_EQ(t.rig.dialogs.questions[1].text, "Overwrite profile slot 2 with NORTH BRIDGE?");
    EXPECT_EQ(t.rig.dialogs.questions[1].owner, &tool) << "over the tool, not the main window";
    t.rig.clock.advance(2000);
    EXPECT_EQ(t.rig.station.frames().size(), frames) << "no: nothing sent";
}

// The station keeps default profile 3's X3 of 240 in the way that reads back as 24; the
// verify compares what a retrieve shows, so it passes. The close box waits for the end.
TEST(DefaultsTool, ProfileThreeReadsBackAsVerifiedAndTheCloseBoxWaitsForTheEnd) {
    Tool t;
    Form_Defaults& tool = t.open();
    t.rig.station.setStoredHandler([&] {
        if (t.rig.station.profile(3)[17] == 240) t.rig.station.profile(3)[17] = 24;
    });
    t.rig.clock.schedule(5000, [&] { tool.close(); });
    t.press(tool.Command4);
    EXPECT_EQ(tool.panel(2), "Profile 3 Uploaded and verified");
    EXPECT_EQ(t.rig.station.profile(3)[17], 24) << "the slot itself holds 24";
    ASSERT_EQ(t.rig.dialogs.messages.size(), 2u);
    EXPECT_TRUE(t.rig.dialogs.messages[0].text.startsWith("An upload is under way."));
    EXPECT_EQ(t.rig.dialogs.messages[1].text, "Profile 3 Uploaded and verified") << "the outcome outlives the tool";
    EXPECT_FALSE(tool.isVisible()) << "closed once the upload was over";
    EXPECT_TRUE(t.rig.poller->USB_Service_Timer().enabled());
    t.rig.expectNoViolations();
}

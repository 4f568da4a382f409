// Disconnect and exit against the simulated station.
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {
struct Leaving : ::testing::Test {
    ProgramRig rig{settings::SettingsFile::defaultLines()};  // AutoUSB=1: connects by itself
    void SetUp() override { rig.start(); }
    void goOnline() {
        ASSERT_TRUE(rig.runTicks(1));
        ASSERT_TRUE(rig.state.MachineOnline);
    }
};
}  // namespace

TEST_F(Leaving, ExitWhileOfflineEndsAtOnceWithoutTheWarning) {
    rig.station.unplug();
    ASSERT_TRUE(rig.runTicks(1));
    rig.form->M_File_Exit->trigger();
    EXPECT_TRUE(rig.form->programEnded());
    EXPECT_FALSE(rig.program->warning.isVisible());
    EXPECT_TRUE(rig.state.Diagnostics.lines().isEmpty());
}

TEST_F(Leaving, ExitOnlineHandsBackTheValuesThenSignsOffThenEnds) {
    goOnline();
    rig.state.Settings.AlarmMSD = 0;
    rig.state.Settings.AlarmLSD = 230;
    rig.state.Settings.SafetySP_MSD = 1;
    rig.state.Settings.SafetySP_LSD = 4;
    const auto before = rig.station.settings();
    rig.form->close();  // the close box runs the exit sequence
    EXPECT_FALSE(rig.form->programEnded());
    EXPECT_EQ(rig.state.ExitStage, 100);
    EXPECT_TRUE(rig.program->warning.isVisible());
    EXPECT_FALSE(rig.form->isEnabled());
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.state.ExitStage == 101; }, 5000));
    EXPECT_TRUE(rig.state.SettingsWritten);
    EXPECT_FALSE(rig.station.signedOff());
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.form->programEnded(); }, 5000));
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_FALSE(rig.bridge.isOpen());
    const auto after = rig.station.settings();
    EXPECT_EQ(after[7], 0);
    EXPECT_EQ(after[8], 230);
    EXPECT_EQ(after[13], 1);
    EXPECT_EQ(after[14], 4);
    for (int i = 0; i < 16; ++i)
        if (i != 7 && i != 8 && i != 13 && i != 14) {
            EXPECT_EQ(after[std::size_t(i)], before[std::size_t(i)]) << i;
        }
    for (const auto& v : rig.station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
}

TEST_F(Leaving, ZeroThresholdsGoBackAsTheDefaults) {
    goOnline();
    rig.state.Settings.AlarmMSD = rig.state.Settings.AlarmLSD = 0;
    rig.state.Settings.SafetySP_MSD = rig.state.Settings.SafetySP_LSD = 0;
    rig.form->M_File_Exit->trigger();
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.form->programEnded(); }, 10000));
    EXPECT_EQ(rig.station.settings()[7], 0);
    EXPECT_EQ(rig.station.settings()[8], 205);
    EXPECT_EQ(rig.station.settings()[13], 0);
    EXPECT_EQ(rig.station.settings()[14], 220);
}

TEST_F(Leaving, DisconnectFromASilentStationTriesTenTimesWaitsSignsOffAndGoesOffline) {
    goOnline();
    rig.station.setSilent(true);
    rig.state.Diagnostics.clear();
    const auto t0 = rig.clock.nowMs();
    rig.form->M_Tools_Disconnect->trigger();
    QStringList expected;
    for (int n = 0; n < 10; ++n) {
        if (n == 0) expected << "Timeout 406" << "Flush Occurred 411";  // the first write closes the port
        else expected << "Write Error 400";
        expected << "EEPROM Reload Error " + QString::number(n);
    }
    expected << "Write Error";  // the sign-off on the closed port
    EXPECT_EQ(rig.state.Diagnostics.lines(), expected);
    EXPECT_GE(rig.clock.nowMs() - t0, 10000 + 3000);
    EXPECT_EQ(rig.state.ExitStage, 0);
    EXPECT_FALSE(rig.state.MachineOnline);
    EXPECT_FALSE(rig.state.ConnectRequested);
    EXPECT_TRUE(rig.state.PollerBusy);
    EXPECT_FALSE(rig.poller->USB_Service_Timer().enabled());
    EXPECT_EQ(rig.form->windowTitle(), "KR-9300 Control Room [Machine Offline]");
    EXPECT_EQ(rig.form->StatusBar1[0]->text(), "KR-9300 Status: Offline");
    EXPECT_EQ(rig.form->StatusBar1[2]->text(), "Machine ID: N/A");
    EXPECT_TRUE(rig.form->Text_LCD[0]->text().isEmpty());
    EXPECT_TRUE(rig.form->M_Tools_Connect->isEnabled());
    EXPECT_FALSE(rig.form->M_Tools_Disconnect->isEnabled());
    EXPECT_FALSE(rig.program->warning.isVisible());
    EXPECT_TRUE(rig.form->isEnabled());

    // Connect brings it back.
    rig.station.setSilent(false);
    rig.form->M_Tools_Connect->trigger();
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_TRUE(rig.state.MachineOnline);
}

TEST_F(Leaving, DisconnectWithAnAnsweringStationWritesOnceAndSignsOff) {
    goOnline();
    rig.state.Settings.AlarmLSD = 210;
    const auto writesBefore = rig.station.framesWithOpcode(0x50);  // the threshold handshake wrote once
    rig.form->M_Tools_Disconnect->trigger();
    // Settings.ini said 220: the connection took the station's own.
    EXPECT_EQ(rig.state.Diagnostics.lines(), QStringList{"Safety set point from the station: 270 C"});
    EXPECT_EQ(rig.station.settings()[8], 210);
    EXPECT_EQ(rig.station.framesWithOpcode(0x50), writesBefore + 1);
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_FALSE(rig.bridge.isOpen());
    for (const auto& v : rig.station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
}

TEST_F(Leaving, DisconnectDuringATickWaitsInTwoHundredMillisecondSteps) {
    goOnline();
    // Press Disconnect while the next tick waits for its status reply.
    std::vector<std::int64_t> deferredAt;
    rig.clock.schedule(1000 + 25, [&] {
        ASSERT_TRUE(rig.state.PollerBusy);
        rig.form->M_Tools_Disconnect->trigger();
        deferredAt.push_back(rig.clock.nowMs());
    });
    ASSERT_TRUE(rig.clock.runUntil([&] { return !deferredAt.empty() && rig.state.ExitStage == 0; }, 20000));
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_FALSE(rig.state.MachineOnline);
    EXPECT_EQ(rig.state.ExitStage, 0);
}

TEST_F(Leaving, ManualDisconnectBecomesAvailableAfterFifteenSeconds) {
    goOnline();
    rig.station.unplug();  // nothing will answer: the exit waits
    rig.form->M_File_Exit->trigger();
    auto& w = rig.program->warning;
    EXPECT_EQ(w.windowTitle(), "Disconnecting KR-9300 ...");
    rig.clock.advance(7000);
    EXPECT_EQ(w.ElapsedLabel->text(), "Elapsed Time: 7sec.");
    EXPECT_FALSE(w.Command1->isEnabled());
    rig.clock.advance(8000);
    EXPECT_TRUE(w.Command1->isEnabled());
    EXPECT_EQ(w.ElapsedLabel->text(), "Elapsed Time: 15sec.");
    testsupport::saveShot(w, "exit-warning.png");
    rig.clock.advance(3000);
    EXPECT_EQ(w.Elapsed_Seconds, 15);  // the count stops there
    EXPECT_FALSE(rig.form->programEnded());
    w.Command1->click();  // during exit: leave at once
    EXPECT_TRUE(rig.form->programEnded());
    EXPECT_FALSE(rig.station.signedOff());
}

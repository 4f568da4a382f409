#include "tests/support/poller_rig.h"
#include "tests/support/qt_printers.h"

#include <QFile>

using testsupport::PollerRig;

TEST(Poller, WithoutAConnectRequestTheTickDoesNothingAtAll) {
    PollerRig rig;
    rig.clock.advance(10000);
    EXPECT_EQ(rig.poller.ticksRun(), 0u);
    EXPECT_EQ(rig.bridge.opens(), 0u);
    EXPECT_TRUE(rig.display.panels.empty());
    EXPECT_TRUE(rig.poller.USB_Service_Timer().enabled());
}

TEST(Poller, UnpluggedStationShowsTenDotsThenOfflineAndComesBackByItself) {
    PollerRig rig;
    rig.station.unplug();
    rig.state.ConnectRequested = true;
    for (int n = 1; n <= 10; ++n) {
        ASSERT_TRUE(rig.runTicks(1));
        EXPECT_EQ(rig.display.panels[1], "KR-9300 Status: Connecting " + QString(n, '.'));
    }
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_EQ(rig.display.panels[1], "KR-9300 Status: Offline");
    EXPECT_EQ(rig.display.caption, "KR-9300 Control Room [Machine Offline]");
    EXPECT_EQ(rig.state.ConnectAttempts, 10);
    EXPECT_TRUE(rig.state.Diagnostics.lines().isEmpty());

    rig.station.replug();
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_TRUE(rig.state.MachineOnline);
    EXPECT_EQ(rig.state.ConnectAttempts, 0);
    EXPECT_EQ(rig.display.panels[1], "KR-9300 Status: Online");
    EXPECT_EQ(rig.display.panels[2], "F/W Ver.: 7");
    EXPECT_EQ(rig.display.panels[3], "Machine ID: 06370742");
    EXPECT_EQ(rig.display.caption, "KR-9300 Control Room [Machine Online]");
    EXPECT_EQ(rig.display.lcd[0], " U.H.: OFF");
    EXPECT_EQ(rig.display.lcd[1], " PCB Temp.: 25 C");
    EXPECT_EQ(rig.display.lcd[2], " L.H.: OFF");
    EXPECT_EQ(rig.display.lcd[3], " * * * * NORMAL MODE * * * *");
    EXPECT_EQ(rig.display.lcdColour, stationlink::kLcdOnline);
    EXPECT_EQ(rig.display.picture, "NormalMode-1.jpg");
    EXPECT_EQ(rig.display.pictureCaption, "Machine Status: NORMAL");
    EXPECT_EQ(rig.display.temperatureLabel, "25 C");
    EXPECT_TRUE(rig.display.menus[stationlink::ToolsMenu::Disconnect]);
    EXPECT_FALSE(rig.display.menus[stationlink::ToolsMenu::Connect]);
    EXPECT_TRUE(rig.display.menus[stationlink::ToolsMenu::Options]);
    rig.expectNoViolations();
}

TEST(Poller, AttachedButSilentStationDoesNotCountAttemptsAndReopensEveryTick) {
    PollerRig rig;
    rig.station.setSilent(true);
    rig.state.ConnectRequested = true;
    ASSERT_TRUE(rig.runTicks(5));
    EXPECT_EQ(rig.state.ConnectAttempts, 0);
    EXPECT_EQ(rig.bridge.opens(), 5u);
    EXPECT_FALSE(rig.state.MachineOnline);
    EXPECT_TRUE(rig.display.panels.empty());  // the window keeps what it showed
}

TEST(Poller, ThresholdHandshakeKeepsTheFilesThresholdWhenTheStationHolds397) {
    PollerRig rig;
    rig.station.settings()[7] = 1;
    rig.station.settings()[8] = 141;
    rig.state.Settings.AlarmLSD = 210;
    rig.connect();
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 210);
    EXPECT_EQ(rig.station.framesWithOpcode(0x50), 0u);
    EXPECT_EQ(rig.display.alarmText, "210");
    EXPECT_EQ(rig.display.alarmSliderMax, 400);
    EXPECT_EQ(rig.display.alarmUnit, " C");
}

TEST(Poller, ThresholdHandshakeTakesOverAnyOtherValueAndMarksTheStation) {
    PollerRig rig;
    QFile f(rig.file.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> before = f.readAll().split('\n');
    f.close();
    rig.station.settings()[7] = 0;
    rig.station.settings()[8] = 230;
    rig.station.settings()[10] = 1;  // the station shows Fahrenheit
    rig.connect();
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 230);
    EXPECT_EQ(rig.station.settings()[7], 1);
    EXPECT_EQ(rig.station.settings()[8], 141);
    EXPECT_EQ(rig.station.framesWithOpcode(0x50), 1u);
    EXPECT_EQ(rig.display.alarmText, "446");
    EXPECT_EQ(rig.display.alarmSliderMax, 752);
    EXPECT_EQ(rig.display.alarmUnit, " F");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> after = f.readAll().split('\n');
    ASSERT_EQ(after.size(), before.size());
    for (int i : {0, 1, 2, 3, 4, 5, 9, 10}) EXPECT_EQ(after[i], before[i]) << i;
    EXPECT_EQ(after[6], "AlarmMSD=0\r");
    EXPECT_EQ(after[7], "AlarmLSD=230\r");
    EXPECT_EQ(after[8], "TempUnit=1\r");
    rig.expectNoViolations();
}

TEST(Poller, FirmwareSevenBringsItsSafetySetPointOthersKeepTheFiles) {
    PollerRig seven(7);
    seven.connect();
    EXPECT_EQ(seven.state.Settings.SafetySP, 270);  // 1, 14 in the factory block
    PollerRig six(6);
    six.connect();
    EXPECT_EQ(six.state.Settings.SafetySP, 220);
}

TEST(Poller, ProbeErrorShowsDashesSkipsTheRulesButUpdatesModes) {
    PollerRig rig;
    rig.state.Settings.AlarmLSD = 30;
    rig.connect();
    rig.station.setBoardTemperature(400);  // above alarm and safety set point
    rig.station.setProbeError(true);
    rig.station.setMachineMode(2);
    rig.station.setHeaters(3, 2);
    rig.shell.beeps = 0;
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(rig.display.lcd[1], " PCB Temp.:PROBE ERR ");
    EXPECT_EQ(rig.display.temperatureLabel, "--");
    EXPECT_EQ(rig.shell.beeps, 0);
    EXPECT_FALSE(rig.state.SafetyTripped);
    EXPECT_FALSE(rig.state.RequestFlags[core::SlotUpperHeaterDown]);
    EXPECT_EQ(rig.display.lcd[0], " U.H.: REFLOW");
    EXPECT_EQ(rig.display.lcd[2], " L.H.: REFLOW");
    EXPECT_EQ(rig.display.lcd[3], " * * * * PARK MODE * * * *");
    EXPECT_EQ(rig.display.picture, "parkmode-1.jpg");
}

TEST(Poller, AlarmBeepsEveryTickAboveTheThreshold) {
    PollerRig rig;
    rig.connect();
    rig.station.setBoardTemperature(260);  // cools by about 2 °C a second
    rig.shell.beeps = 0;
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_EQ(rig.shell.beeps, 3);
    rig.state.ProfileRunActive = true;  // a profile run has its own supervision
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(rig.shell.beeps, 3);
}

TEST(Poller, SafetyStepsTheHeatersDownEveryTickUntilBothAreOff) {
    PollerRig rig;
    rig.connect();
    const int sp = rig.state.Settings.SafetySP;
    rig.station.setHeaters(3, 2);
    rig.station.setBoardTemperature(sp + 2);  // at the set point but less than 5 above
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_TRUE(rig.state.SafetyTripped);
    for (int i = 0; i < 8 && (rig.station.upperLevel() > 1 || rig.station.lowerLevel() > 1); ++i) {
        rig.station.setBoardTemperature(sp + 2);
        ASSERT_TRUE(rig.runTicks(1));
    }
    EXPECT_EQ(rig.station.upperLevel(), 1);
    EXPECT_EQ(rig.station.lowerLevel(), 1);
    rig.station.setBoardTemperature(sp + 2);
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_FALSE(rig.station.fanOn());  // not 5 degrees above
    EXPECT_FALSE(rig.state.SafetyTripped);
    rig.expectNoViolations();
}

TEST(Poller, SafetySwitchesTheFanOnWhenStillFiveDegreesAbove) {
    PollerRig rig;
    rig.connect();
    const int sp = rig.state.Settings.SafetySP;
    rig.station.setBoardTemperature(sp + 20);
    rig.station.setHeaters(1, 2);
    ASSERT_TRUE(rig.runTicks(4));
    EXPECT_EQ(rig.station.upperLevel(), 1);
    EXPECT_TRUE(rig.station.fanOn());
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_TRUE(rig.station.fanOn());  // requested only while the fan reads 0
}

TEST(Poller, HeatingPastTheSetPointTurnsTheHeatersOff) {
    PollerRig rig;
    rig.connect();
    rig.station.setHeaters(4, 3);  // both FAST: heads for well over 300 °C
    double peak = 0;
    for (int i = 0; i < 400 && (rig.station.upperLevel() > 1 || rig.station.lowerLevel() > 1 ||
                                rig.station.boardTemperature() < rig.state.Settings.SafetySP);
         ++i) {
        ASSERT_TRUE(rig.runTicks(1));
        peak = std::max(peak, rig.station.boardTemperature());
    }
    EXPECT_GE(std::lround(peak), rig.state.Settings.SafetySP);
    EXPECT_EQ(rig.station.upperLevel(), 1);
    EXPECT_EQ(rig.station.lowerLevel(), 1);
    EXPECT_LT(peak, rig.state.Settings.SafetySP + 25);
    rig.expectNoViolations();
}

TEST(Poller, TwoButtonsBeforeATickAreServedInPriorityOrderWithOneBeep) {
    PollerRig rig;
    rig.connect();
    rig.shell.beeps = 0;
    rig.state.RequestFlags[core::SlotLowerHeaterUp] = true;
    rig.state.RequestFlags[core::SlotUpperHeaterUp] = true;
    rig.state.OperatorRequestPending = true;
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_EQ(rig.station.upperLevel(), 2);
    EXPECT_EQ(rig.station.lowerLevel(), 1);
    EXPECT_TRUE(rig.state.RequestFlags[core::SlotBeep]);
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_EQ(rig.station.lowerLevel(), 2);  // the heater request goes before the beep
    EXPECT_EQ(rig.shell.beeps, 0);
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_EQ(rig.shell.beeps, 1);
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(rig.shell.beeps, 1);
}

TEST(Poller, NoBeepWithoutBeepWB) {
    PollerRig rig;
    rig.state.Settings.BeepWB = false;
    rig.connect();
    rig.state.RequestFlags[core::SlotFan] = true;
    rig.state.OperatorRequestPending = true;
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_TRUE(rig.station.fanOn());
    EXPECT_EQ(rig.shell.beeps, 0);
}

TEST(Poller, LostLinkShowsDotsWhileStillOnlineThenTheWholeOfflineState) {
    PollerRig rig;
    rig.connect();
    ASSERT_TRUE(rig.state.MachineOnline);
    rig.station.unplug();
    rig.state.RequestFlags[core::SlotClearLog] = true;
    for (int n = 1; n <= 10; ++n) {
        ASSERT_TRUE(rig.runTicks(1));
        EXPECT_EQ(rig.display.panels[1], "KR-9300 Status: Connecting " + QString(n, '.'));
        EXPECT_TRUE(rig.state.MachineOnline);
        EXPECT_TRUE(rig.state.RequestFlags[core::SlotClearLog]);
    }
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_FALSE(rig.state.MachineOnline);
    EXPECT_EQ(rig.display.panels[1], "KR-9300 Status: Offline");
    EXPECT_EQ(rig.display.panels[2], "F/W Ver.: N/A");
    EXPECT_EQ(rig.display.panels[3], "Machine ID: N/A");
    EXPECT_EQ(rig.display.caption, "KR-9300 Control Room [Machine Offline]");
    EXPECT_EQ(rig.display.lcdColour, stationlink::kLcdOffline);
    for (const QString& l : rig.display.lcd) EXPECT_TRUE(l.isEmpty());
    EXPECT_FALSE(rig.display.temperatureVisible);
    EXPECT_EQ(rig.display.picture, "Parkmode Offline.jpg");
    EXPECT_EQ(rig.display.pictureCaption, "Machine Status: N/A");
    EXPECT_EQ(rig.display.upperGauge, 1);
    EXPECT_EQ(rig.display.lowerGauge, 1);
    EXPECT_FALSE(rig.display.menus[stationlink::ToolsMenu::Disconnect]);
    EXPECT_TRUE(rig.display.menus[stationlink::ToolsMenu::Connect]);
    EXPECT_FALSE(rig.display.menus[stationlink::ToolsMenu::Defaults]);
    EXPECT_TRUE(rig.state.TraceResetRequested);
    EXPECT_EQ(rig.state.PlottedSamples, 0);

    rig.station.replug();
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_TRUE(rig.state.MachineOnline);
    EXPECT_FALSE(rig.state.RequestFlags[core::SlotClearLog]);  // served once back
    EXPECT_EQ(rig.station.logClears(), 1);
}

TEST(Poller, TrendGetsOneSampleAPollWhilePlotting) {
    PollerRig rig;
    rig.state.Settings.AutoTCPlot = true;
    rig.connect();
    ASSERT_TRUE(rig.runTicks(4));
    EXPECT_EQ(rig.display.trend.size(), 5u);
    EXPECT_EQ(rig.state.PlottedSamples, 5);
    rig.state.Settings.AutoTCPlot = false;
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(rig.display.trend.size(), 5u);
}

TEST(Poller, ConnectCommandResetsTheLinkFlagsAndStartsTheTimer) {
    PollerRig rig;
    rig.state.PollerBusy = true;
    rig.poller.USB_Service_Timer().setEnabled(false);
    rig.poller.M_Tools_Connect_Click();
    EXPECT_TRUE(rig.state.ConnectRequested);
    EXPECT_FALSE(rig.state.PollerBusy);
    EXPECT_TRUE(rig.poller.USB_Service_Timer().enabled());
    EXPECT_TRUE(rig.display.menus[stationlink::ToolsMenu::Disconnect]);
    EXPECT_FALSE(rig.display.menus[stationlink::ToolsMenu::Connect]);
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_TRUE(rig.state.MachineOnline);
}

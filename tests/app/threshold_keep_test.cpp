// Thresholds the operator set stay in force until the station has them: across a
// disconnect and connect, across a pulled cable, and into the station at the next
// disconnect or exit.
#include "core/named_values.h"
#include "core/temperature_bytes.h"
#include "mainwin/options_form.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {

struct Thresholds : ::testing::Test {
    ProgramRig rig{settings::SettingsFile::defaultLines()};  // AutoUSB=1, safety 220 C in the file

    void SetUp() override {
        rig.start();
        goOnline();
    }
    void goOnline() {
        ASSERT_TRUE(rig.clock.runUntil(
            [&] { return rig.state.MachineOnline && rig.poller->lastPollSucceeded() && !rig.state.PollerBusy; },
            60000));
    }
    int stationSafety() {
        auto& s = rig.station.settings();
        return core::joinTemperature(s[core::SettingsSafetyHigh], s[core::SettingsSafetyLow]);
    }
    int stationAlarm() {
        auto& s = rig.station.settings();
        return core::joinTemperature(s[core::SettingsAlarmHigh], s[core::SettingsAlarmLow]);
    }
    void setStationAlarm(int c) {
        const core::TemperatureBytes b = core::splitTemperature(std::int16_t(c));
        rig.station.settings()[core::SettingsAlarmHigh] = b.high;
        rig.station.settings()[core::SettingsAlarmLow] = b.low;
    }
    // Options > Safety Threshold, Accept.
    void acceptSafety(const QString& value) {
        rig.program->openOptions();
        auto* options = rig.form->findChild<mainwin::OptionsForm*>();
        ASSERT_NE(options, nullptr);
        options->Text2->setText(value);
        options->Command1->click();
        QCoreApplication::processEvents();
    }
    // The main window's alarm group: Edit, type, Enter.
    void acceptAlarm(const QString& value) {
        rig.form->Check1->click();
        rig.form->Text1->setFocus();
        rig.form->Text1->setText(value);
        QTest::keyClick(rig.form->Text1, Qt::Key_Return);
    }
    void disconnect() {
        rig.program->departure.M_Tools_Disconnect_Click();
        ASSERT_TRUE(rig.clock.runUntil([&] { return rig.state.ExitStage == core::ExitIdle; }, 60000));
        ASSERT_FALSE(rig.state.MachineOnline);
    }
    void unplugAndReplug() {
        rig.station.unplug();
        ASSERT_TRUE(rig.clock.runUntil([&] { return !rig.state.MachineOnline; }, 60000));
        rig.station.replug();
        goOnline();
    }
    QStringList iniLines() {
        QFile f(rig.folder + "/Settings.ini");
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }
    int stationSaidSafety() {
        return int(rig.state.Diagnostics.lines().filter("Safety set point from the station").size());
    }
};

}  // namespace

TEST_F(Thresholds, TheStationsSafetySetPointReplacingTheFilesIsSaidOnce) {
    EXPECT_EQ(rig.state.Settings.SafetySP, 270);
    EXPECT_EQ(rig.state.Diagnostics.lines().filter("Safety set point").join("|"),
              "Safety set point from the station: 270 C");
    disconnect();
    rig.form->M_Tools_Connect_Click();
    goOnline();
    EXPECT_EQ(stationSaidSafety(), 1);  // the same value again says nothing
}

TEST(ThresholdLine, GivesTheSetPointInTheDisplayUnit) {
    ProgramRig f{settings::SettingsFile::defaultLines()};
    f.station.settings()[core::SettingsTempUnit] = 1;  // the station shows Fahrenheit
    f.start();
    ASSERT_TRUE(f.clock.runUntil([&] { return f.state.MachineOnline && !f.state.PollerBusy; }, 60000));
    EXPECT_EQ(f.state.Diagnostics.lines().filter("Safety set point"),
              QStringList{"Safety set point from the station: 518 F"});
}

TEST_F(Thresholds, SafetySetPointKeptAcrossDisconnectAndConnectAndHandedBackAtTheDisconnect) {
    acceptSafety("230");
    ASSERT_EQ(rig.state.Settings.SafetySP, 230);
    ASSERT_EQ(stationSafety(), 270);
    disconnect();
    EXPECT_EQ(stationSafety(), 230);
    rig.form->M_Tools_Connect_Click();
    goOnline();
    EXPECT_EQ(rig.state.Settings.SafetySP, 230);
    EXPECT_EQ(stationSaidSafety(), 1);
    rig.expectNoViolations();
}

TEST_F(Thresholds, SafetySetPointKeptAcrossAnUnplugAndHandedBackAtTheExit) {
    acceptSafety("230");
    unplugAndReplug();
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(rig.state.Settings.SafetySP, 230);
    EXPECT_EQ(stationSafety(), 270);  // not handed back yet: nothing left the program
    EXPECT_EQ(stationSaidSafety(), 1);

    rig.form->M_File_Exit->trigger();
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.form->programEnded(); }, 60000));
    EXPECT_EQ(stationSafety(), 230);
    EXPECT_TRUE(iniLines().contains("SafetySP_LSD=230")) << iniLines().join(" ").toStdString();
    EXPECT_TRUE(iniLines().contains("SafetySP_MSD=0"));
}

TEST_F(Thresholds, AnAlarmAcceptedHereWinsOverTheStationsUntilHandedBack) {
    acceptAlarm("150");
    ASSERT_EQ(rig.state.Settings.AlarmThreshold, 150);
    setStationAlarm(190);  // set on the station's own panel meanwhile
    unplugAndReplug();
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 150);
    EXPECT_EQ(rig.form->Text1->text().trimmed(), "150");
    EXPECT_EQ(stationAlarm(), core::joinTemperature(core::kProgramAlarmHigh, core::kProgramAlarmLow));

    disconnect();
    EXPECT_EQ(stationAlarm(), 150);
    // Handed back, the station's own value counts again at the next connection.
    setStationAlarm(190);
    rig.form->M_Tools_Connect_Click();
    goOnline();
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 190);
    rig.expectNoViolations();
}

TEST_F(Thresholds, AnAlarmFromTheOptionsIsKeptAsWell) {
    rig.program->openOptions();
    auto* options = rig.form->findChild<mainwin::OptionsForm*>();
    ASSERT_NE(options, nullptr);
    options->Text1->setText("160");
    options->Command1->click();
    setStationAlarm(190);
    disconnect();
    EXPECT_EQ(stationAlarm(), 160);
    rig.form->M_Tools_Connect_Click();
    goOnline();
    EXPECT_EQ(rig.state.Settings.AlarmThreshold, 160);
}

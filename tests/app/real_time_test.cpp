// The whole program on the real clock and Qt's event loop against the simulated station:
// connects, serves a button, and leaves in an orderly way, in a few real seconds.
#include "app/program.h"
#include "platform/real_clock.h"
#include "simulator/sim_bridge.h"
#include "tests/support/recording_display.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RealTime, ConnectPressAndExit) {
    QTemporaryDir dir;
    {
        QFile ini(dir.filePath("Settings.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        for (const char* l : {"[ZENT_INI_file]", "BeepWB=1", "AutoUSB=1", "AutoTCPlot=1", "SwSleepMode=0",
                              "RunDemoMode=1", "AlarmMSD=0", "AlarmLSD=205", "TempUnit=0", "SafetySP_MSD=0",
                              "SafetySP_LSD=220"})
            ini.write(QByteArray(l) + "\r\n");
    }
    core::SharedState state;
    platform::RealClock clock;
    simulator::SimStation station(clock, 7);
    simulator::SimBridge bridge(station);
    testsupport::ScriptedDialogs dialogs;
    testsupport::CountingShell shell;
    app::Program program(state, bridge, clock, dialogs, shell, dir.path(), dir.filePath("user"));
    program.start();

    ASSERT_TRUE(clock.waitFor([&] { return state.MachineOnline && program.poller.lastPollSucceeded(); }, 10000));
    program.form.cmdUhUp->click();
    ASSERT_TRUE(clock.waitFor([&] { return station.upperLevel() == 2 && state.UpperHeaterMode == 2; }, 10000));
    dialogs.questionAnswers = {platform::Dialogs::Answer::No};  // leave with the heater on, as designed
    program.form.M_File_Exit->trigger();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    ASSERT_TRUE(clock.waitFor([&] { return program.form.programEnded(); }, 15000));
    EXPECT_TRUE(station.signedOff());
    EXPECT_FALSE(bridge.isOpen());
    EXPECT_EQ(shell.beeps, 1);
    for (const auto& v : station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
    EXPECT_EQ(state.Diagnostics.lines(), QStringList{"Safety set point from the station: 270 C"})
        << state.Diagnostics.lines().join(" | ").toStdString();
}

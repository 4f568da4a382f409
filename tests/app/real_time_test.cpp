// The whole program on the real clock and Qt's event loop against the simulated station:
// connects, serves a button, and leaves in an orderly way, in a few real seconds.
#include "app/program.h"
#include "app/signal_exit.h"
#include "platform/real_clock.h"
#include "simulator/sim_bridge.h"
#include "tests/support/recording_display.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

struct RealTime : ::testing::Test {
    QTemporaryDir dir;
    core::SharedState state;
    platform::RealClock clock;
    simulator::SimStation station{clock, 7};
    simulator::SimBridge bridge{station};
    testsupport::ScriptedDialogs dialogs;
    testsupport::CountingShell shell;
    std::unique_ptr<app::Program> program;

    void SetUp() override {
        QFile ini(dir.filePath("Settings.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        for (const char* l : {"[ZENT_INI_file]", "BeepWB=1", "AutoUSB=1", "AutoTCPlot=1", "SwSleepMode=0",
                              "RunDemoMode=1", "AlarmMSD=0", "AlarmLSD=205", "TempUnit=0", "SafetySP_MSD=0",
                              "SafetySP_LSD=220"})
            ini.write(QByteArray(l) + "\r\n");
        ini.close();
        program = std::make_unique<app::Program>(state, bridge, clock, dialogs, shell, dir.path(), dir.filePath("user"));
        program->userDataFolder = dir.filePath("userdata");  // the runs database goes there
        program->start();
        ASSERT_TRUE(clock.runUntil([&] { return state.MachineOnline && program->poller.lastPollSucceeded(); }, 10000));
    }
    void expectCleanLeave() {
        EXPECT_TRUE(station.signedOff());
        EXPECT_FALSE(bridge.isOpen());
        for (const auto& v : station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
        // Settings.ini's 220 gave way to the station's set point at the connection.
        EXPECT_EQ(state.Diagnostics.lines(), QStringList{"Safety set point from the station: 270 C"})
            << state.Diagnostics.lines().join(" | ").toStdString();
    }
};

}  // namespace

TEST_F(RealTime, ConnectPressAndExit) {
    program->form.cmdUhUp->click();
    ASSERT_TRUE(clock.runUntil([&] { return station.upperLevel() == 2 && state.UpperHeaterMode == 2; }, 10000));
    dialogs.questionAnswers = {platform::Dialogs::Answer::No};  // leave with the heater on
    program->form.M_File_Exit->trigger();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    ASSERT_TRUE(clock.runUntil([&] { return program->form.programEnded(); }, 15000));
    expectCleanLeave();
    EXPECT_EQ(shell.beeps, 1);
}

TEST_F(RealTime, SigtermWhilePollingLeavesInOrderWithTheBridgeClosed) {
    app::SignalExit signalExit(*program);
    ASSERT_TRUE(signalExit.installed()) << signalExit.error().toStdString();
    // Raised while a status poll is on the line, so the handler's pipe is read by that
    // poll's waits.
    bool raised = false;
    auto watch = clock.createTimer(1, [&] {
        if (raised || !state.TransactionActive) return;
        raised = true;
        ::raise(SIGTERM);
    });
    watch->setEnabled(true);
    ASSERT_TRUE(clock.runUntil([&] { return program->form.programEnded(); }, 15000));
    EXPECT_TRUE(raised);
    EXPECT_EQ(signalExit.signalsSeen(), 1);
    expectCleanLeave();
}

// Leaving ends at once: "Manual Disconnect" during a pending reply wait, termination
// signals, and a close box pressed while a disconnect runs.
#include "app/signal_exit.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"

#include <QAction>
#include <QCoreApplication>
#include <QPushButton>

#include <gtest/gtest.h>

#include <csignal>

using testsupport::ProgramRig;

namespace {

struct ExitAtOnce : ::testing::Test {
    ProgramRig rig{settings::SettingsFile::defaultLines()};  // AutoUSB=1: connects by itself
    std::unique_ptr<platform::Timer> watch;

    void SetUp() override {
        rig.start();
        ASSERT_TRUE(rig.runTicks(1));
        ASSERT_TRUE(rig.state.MachineOnline);
    }
    // Runs the check every virtual millisecond, inside whatever wait is running then.
    void everyMillisecond(std::function<void()> check) {
        watch = rig.clock.createTimer(1, std::move(check));
        watch->setEnabled(true);
    }
    bool replyWaitPending() { return rig.state.TransactionActive && rig.program->link.Timer1().enabled(); }
    std::size_t bridgeCalls() const { return rig.bridgeCalls.calls.size(); }
    QStringList lines() const { return rig.state.Diagnostics.lines(); }
};

// Raises the signal and lets Qt's loop deliver it to the program, as its event loop would.
void deliver(app::SignalExit& signalExit, int signalNumber) {
    const int before = signalExit.signalsSeen();
    ASSERT_EQ(::raise(signalNumber), 0);
    for (int i = 0; i < 100 && signalExit.signalsSeen() == before; ++i) QCoreApplication::processEvents();
    ASSERT_EQ(signalExit.signalsSeen(), before + 1);
}

}  // namespace

TEST_F(ExitAtOnce, ManualDisconnectDuringAnUnacknowledgedSettingsWriteEndsWithinOneStep) {
    // The station is away when the exit begins and back after 6 s; its first online tick
    // serves the settings write, which it never acknowledges (10 s reply wait).
    rig.station.unplug();
    rig.form->M_File_Exit->trigger();
    ASSERT_EQ(rig.state.ExitStage, core::ExitWritingSettings);
    rig.clock.schedule(6000, [&] { rig.station.replug(); });

    auto& warning = rig.program->warning;
    bool clicked = false;
    std::int64_t clickedAt = 0;
    std::size_t callsAtClick = 0;
    QStringList linesAtClick;
    everyMillisecond([&] {
        const bool writing = replyWaitPending() && rig.program->link.Timer1().interval() == 10000;
        if (rig.state.RequestFlags[core::SlotWriteSettings] && rig.state.TransactionActive &&
            rig.poller->lastPollSucceeded())
            rig.station.setSilent(true);  // from the write on
        if (!clicked && writing && warning.Command1->isEnabled()) {
            clicked = true;
            clickedAt = rig.clock.nowMs();
            callsAtClick = bridgeCalls();
            linesAtClick = lines();
            warning.Command1->click();
        }
    });
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.form->programEnded(); }, 30000));
    ASSERT_TRUE(clicked);
    EXPECT_EQ(rig.clock.nowMs(), clickedAt);  // the write's wait ended there, not 10 s later
    EXPECT_FALSE(rig.state.TransactionActive);
    EXPECT_EQ(bridgeCalls(), callsAtClick);   // no close, no further call
    EXPECT_EQ(lines(), linesAtClick);         // neither "Timeout 406" nor "Flush Occurred 411"
    EXPECT_TRUE(rig.bridge.isOpen());
    EXPECT_FALSE(rig.station.signedOff());

    rig.clock.advance(20000);  // and nothing of the program runs any more
    EXPECT_EQ(bridgeCalls(), callsAtClick);
    EXPECT_EQ(lines(), linesAtClick);
}

namespace {
struct SecondWayOut {
    const char* name;
    bool exitBySignal;  // the orderly exit began by SIGTERM (else by File > Exit)
    int then;           // the signal that follows while a reply wait is pending
};
}  // namespace

TEST_F(ExitAtOnce, ASignalDuringTheExitEndsAtOnceAndClosesTheBridge) {
    const std::vector<SecondWayOut> cases = {
        {"a second signal", true, SIGINT},
        {"a signal after File > Exit", false, SIGTERM},
    };
    for (const SecondWayOut& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramRig r{settings::SettingsFile::defaultLines()};
        r.start();
        ASSERT_TRUE(r.runTicks(1));
        app::SignalExit signalExit(*r.program);
        ASSERT_TRUE(signalExit.installed()) << signalExit.error().toStdString();
        r.station.setSilent(true);  // the exit would wait for ever
        if (c.exitBySignal) deliver(signalExit, SIGTERM);
        else r.form->M_File_Exit->trigger();
        ASSERT_EQ(r.state.ExitStage, core::ExitWritingSettings);
        EXPECT_FALSE(r.form->programEnded());

        bool sent = false;
        std::int64_t sentAt = 0;
        std::size_t callsAtSignal = 0;
        QStringList linesAtSignal;
        auto w = r.clock.createTimer(1, [&] {
            if (sent || !r.state.TransactionActive || !r.program->link.Timer1().enabled()) return;
            sent = true;
            sentAt = r.clock.nowMs();
            callsAtSignal = r.bridgeCalls.calls.size();
            linesAtSignal = r.state.Diagnostics.lines();
            deliver(signalExit, c.then);
        });
        w->setEnabled(true);
        ASSERT_TRUE(r.clock.runUntil([&] { return r.form->programEnded(); }, 30000));
        ASSERT_TRUE(sent);
        EXPECT_EQ(r.clock.nowMs(), sentAt);
        EXPECT_FALSE(r.bridge.isOpen());
        EXPECT_EQ(std::vector<std::string>(r.bridgeCalls.calls.begin() + std::ptrdiff_t(callsAtSignal),
                                           r.bridgeCalls.calls.end()),
                  std::vector<std::string>{"close"});
        EXPECT_EQ(r.state.Diagnostics.lines(), linesAtSignal);
        EXPECT_FALSE(r.station.signedOff());
    }
}

TEST_F(ExitAtOnce, TheCloseBoxDuringADisconnectLeavesOnceTheDisconnectIsDone) {
    bool closedDuring = false;
    rig.clock.schedule(1000, [&] {
        ASSERT_EQ(rig.state.ExitStage, core::DisconnectRunning);
        rig.form->close();  // the window manager's close, during the disconnect's 3 s pause
        closedDuring = true;
        EXPECT_EQ(rig.state.ExitStage, core::DisconnectRunning);  // the disconnect goes on
    });
    rig.form->M_Tools_Disconnect->trigger();  // runs its writes and waits in the handler
    ASSERT_TRUE(closedDuring);
    EXPECT_TRUE(rig.station.signedOff());
    EXPECT_FALSE(rig.form->programEnded());
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.form->programEnded(); }, 1000));
    EXPECT_FALSE(rig.bridge.isOpen());
    EXPECT_EQ(rig.state.ExitStage, core::ExitIdle);
    // Only the connection's word that the station's safety set point replaced the file's.
    EXPECT_EQ(lines(), QStringList{"Safety set point from the station: 270 C"});
}

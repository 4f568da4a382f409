// The whole program through LibFtdiBridge, Debian's libftdi1 and the libusb stand-in, with
// the simulated station behind the FT232R: online, a button served, the device pulled out
// in the middle of a poll and plugged in again; access denied; a wrong adapter on the bus.
#include "app/program.h"
#include "app/program_log.h"
#include "platform/libftdi_bridge.h"
#include "platform/virtual_clock.h"
#include "simulator/sim_station.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_display.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/usb/usb_bus.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;
using usbstandin::Ft232r;

namespace {

struct UsbProgramRig {
    explicit UsbProgramRig(bool stationFirst = true) : station(clock, 7) {
        Ft232r::Identity cable;
        cable.serial = "CABLE1";
        cable.address = 3;
        if (!stationFirst) this->cable = &bus.plug(cable);
        Ft232r::Identity id;
        id.serial = "A9300KR1";
        id.address = 4;
        chip = &bus.plug(id, &station);
        bridge.setNoticeHandler([this](const platform::BridgeNotice& n) { log.bridgeNotice(n); });
        // The settings file a second start finds: AutoUSB=1 connects at once.
        QDir().mkpath(dir.filePath("program"));
        QFile ini(QDir(dir.filePath("program")).filePath("Settings.ini"));
        if (ini.open(QIODevice::WriteOnly))
            for (QString l : settings::SettingsFile::defaultLines()) {
                // The station's own safety set point (270 C), so connecting has nothing to say.
                if (l.startsWith("SafetySP_MSD=")) l = "SafetySP_MSD=1";
                if (l.startsWith("SafetySP_LSD=")) l = "SafetySP_LSD=14";
                ini.write(l.toLatin1() + "\r\n");
            }
        program = std::make_unique<app::Program>(state, bridge, clock, dialogs, shell, dir.filePath("program"),
                                                 dir.filePath("user"));
        program->userDataFolder = dir.filePath("userdata");  // the runs database goes there
    }
    ~UsbProgramRig() { program.reset(); }

    bool runTicks(int n) {
        const auto target = program->poller.ticksRun() + std::uint64_t(n);
        return clock.runUntil([&] { return program->poller.ticksRun() >= target && !state.PollerBusy; },
                              std::int64_t(n) * 30000);
    }
    QString title() const { return program->form.windowTitle(); }
    QString status() const { return program->form.StatusBar1[0]->text(); }

    QTemporaryDir dir;
    platform::VirtualClock clock;
    simulator::SimStation station;
    usbstandin::Bus bus;
    Ft232r* chip = nullptr;
    Ft232r* cable = nullptr;
    platform::LibFtdiBridge bridge;
    core::SharedState state;
    QStringList logLines;
    app::ProgramLog log{state, clock, [this](const QString& l) { logLines << l; }};
    testsupport::ScriptedDialogs dialogs;
    testsupport::CountingShell shell;
    std::unique_ptr<app::Program> program;
};

}  // namespace

TEST(UsbProgram, OnlineThroughLibftdiThenPulledOutMidPollAndBackAgain) {
    // The next tick starts 1000 ms after the last one ended; the status poll's four bytes
    // go out 10 ms apart from then on, and its reply is read from 40 ms.
    struct Case {
        int pullAtMs;
        const char* firstLine;
    };
    for (const Case& c : {Case{1015, "Write Error3"}, Case{1031, "Queue Error"}}) {
        SCOPED_TRACE(c.firstLine);
        UsbProgramRig rig;
        rig.program->start();
        ASSERT_TRUE(rig.runTicks(1));
        EXPECT_EQ(rig.title(), "KR-9300 Control Room [Machine Online]");
        EXPECT_EQ(rig.program->form.StatusBar1[2]->text(), "Machine ID: 06370742");
        rig.program->form.cmdUhUp->click();
        ASSERT_TRUE(rig.runTicks(2));
        EXPECT_EQ(rig.station.upperLevel(), 2);
        EXPECT_EQ(rig.chip->garbledBytes(), 0);
        EXPECT_TRUE(rig.state.Diagnostics.lines().isEmpty()) << rig.state.Diagnostics.lines().join(" | ").toStdString();

        bool midTransaction = false;
        rig.clock.schedule(c.pullAtMs, [&] {
            midTransaction = rig.state.TransactionActive;
            rig.chip->remove();
        });
        const auto polls = rig.station.framesWithOpcode(0x01);
        ASSERT_TRUE(rig.runTicks(1));
        ASSERT_TRUE(midTransaction);
        EXPECT_FALSE(rig.program->poller.lastPollSucceeded());
        EXPECT_LE(rig.station.framesWithOpcode(0x01), polls + 1);
        const QStringList afterPull = rig.state.Diagnostics.lines();
        EXPECT_EQ(afterPull, QStringList{c.firstLine});

        // Within one tick: the dead device is let go (its close fails, as it must), and
        // the attempts to reconnect show.
        ASSERT_TRUE(rig.runTicks(1));
        EXPECT_EQ(rig.bus.handles, 0);
        EXPECT_EQ(rig.status(), "KR-9300 Status: Connecting .");
        EXPECT_EQ(rig.state.Diagnostics.lines(), (QStringList{c.firstLine, "Port CLose Failed"}));
        ASSERT_TRUE(rig.runTicks(10));
        EXPECT_EQ(rig.title(), "KR-9300 Control Room [Machine Offline]");
        EXPECT_EQ(rig.status(), "KR-9300 Status: Offline");

        // Plugged in again: a new address, online at the next tick.
        rig.chip->attach();
        ASSERT_TRUE(rig.runTicks(1));
        EXPECT_EQ(rig.title(), "KR-9300 Control Room [Machine Online]");
        rig.program->form.cmdUhDown->click();
        ASSERT_TRUE(rig.runTicks(2));
        EXPECT_EQ(rig.station.upperLevel(), 1);
        EXPECT_EQ(rig.chip->garbledBytes(), 0);
        EXPECT_EQ(rig.logLines,
                  (QStringList{"USB: opened FTDI device 0403:6001 at bus 1 address 4, serial A9300KR1",
                               "KR-9300 online: Machine ID 06370742, F/W Ver. 7",
                               "USB: closing FTDI device 0403:6001 at bus 1 address 4, serial A9300KR1 failed: its "
                               "interface could not be released",
                               "USB: no FTDI device is on the USB bus", "KR-9300 offline",
                               "USB: opened FTDI device 0403:6001 at bus 1 address 5, serial A9300KR1",
                               "KR-9300 online: Machine ID 06370742, F/W Ver. 7"}));
        for (const auto& v : rig.station.violations())
            if (!v.faultInduced) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
    }
}

TEST(UsbProgram, AccessDeniedIsExplainedOnceAndTheStationIsTakenWhenAllowed) {
    UsbProgramRig rig;
    rig.chip->accessDenied = true;
    rig.program->start();
    ASSERT_TRUE(rig.runTicks(5));
    EXPECT_EQ(rig.state.Diagnostics.lines(), QStringList{app::ProgramLog::kAccessDeniedLine});
    EXPECT_EQ(rig.logLines.size(), 1);
    EXPECT_THAT(rig.logLines.value(0).toStdString(), HasSubstr("(/dev/bus/usb/001/004) was denied"));
    EXPECT_EQ(rig.status(), "KR-9300 Status: Connecting .....");

    rig.chip->accessDenied = false;  // the udev rule is in place and the station replugged
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_EQ(rig.title(), "KR-9300 Control Room [Machine Online]");
    EXPECT_EQ(rig.state.Diagnostics.size(), 1);
}

TEST(UsbProgram, AWrongAdapterListedFirstIsTriedOnceAndTheStationFound) {
    UsbProgramRig rig(false);
    rig.program->start();
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_EQ(rig.title(), "KR-9300 Control Room [Machine Online]");
    ASSERT_TRUE(rig.runTicks(20));
    EXPECT_EQ(rig.bus.claims[0], 1);  // the cable, once
    EXPECT_EQ(rig.bus.claims[1], 1);  // the station, once and kept
    EXPECT_TRUE(rig.cable->kernelDriverBound);
    EXPECT_TRUE(rig.program->poller.lastPollSucceeded());
}

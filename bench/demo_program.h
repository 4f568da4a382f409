#pragma once
// The program as the executable puts it together, for benchmarks that run all of it:
// the real clock, the USB bridge and the simulated station behind the bridge selector,
// the main window, and the simulated station's own window once the station is in use.
// Keep it in step with app/main.cpp.
#include "app/diagnostic_log.h"
#include "app/program.h"
#include "app/program_log.h"
#include "app/sim_station_window.h"
#include "core/shared_state.h"
#include "platform/bridge_selector.h"
#include "platform/libftdi_bridge.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_shell.h"
#include "platform/real_clock.h"
#include "simulator/sim_bridge.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <memory>

namespace bench {

struct DemoProgram {
    explicit DemoProgram(const QString& programFolder)
        : log(state, clock), bridge(usb, simulated, [this] { return state.Settings.RunDemoMode; }) {
        usb.setNoticeHandler([this](const platform::BridgeNotice& notice) { log.bridgeNotice(notice); });
        const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        program = std::make_unique<app::Program>(state, bridge, clock, dialogs, shell, programFolder, userFolder);
        dialogs.setParent(&program->form);
        diagnosticLog =
            std::make_unique<app::DiagnosticLog>(state.Diagnostics, program->form, app::DiagnosticLog::defaultFolder());
        simWindow = std::make_unique<app::SimStationWindow>(station, clock);
        simKeeper = std::make_unique<app::SimStationWindowKeeper>(*simWindow, program->form, clock,
                                                                  [this] { return bridge.alternativeInUse(); });
    }
    void start() {
        program->start();
        clock.schedule(2000, [this] { shell.prepareBeep(); });
    }

    // A program folder of the demo's kind: the program's pictures and a Settings.ini that
    // selects the simulated station, connects at start and plots.
    static void layOutDemoFolder(const QString& from, const QString& to) {
        const QDir source(from);
        for (const QString& f : source.entryList({"*.jpg", "*.png"}, QDir::Files))
            QFile::copy(source.filePath(f), QDir(to).filePath(f));
        QFile ini(QDir(to).filePath("Settings.ini"));
        if (!ini.open(QIODevice::WriteOnly)) return;
        for (const char* line : {"[ZENT_INI_file]", "BeepWB=1", "AutoUSB=1", "AutoTCPlot=1", "SwSleepMode=0",
                                 "RunDemoMode=1", "AlarmMSD=0", "AlarmLSD=205", "TempUnit=0", "SafetySP_MSD=0",
                                 "SafetySP_LSD=220"})
            ini.write(QByteArray(line) + "\r\n");
    }

    core::SharedState state;
    platform::RealClock clock;
    app::ProgramLog log;
    platform::LibFtdiBridge usb;
    simulator::SimStation station{clock, 7};
    simulator::SimBridge simulated{station};
    platform::BridgeSelector bridge;
    platform::QtShell shell;
    platform::QtDialogs dialogs;
    std::unique_ptr<app::Program> program;
    std::unique_ptr<app::DiagnosticLog> diagnosticLog;
    std::unique_ptr<app::SimStationWindow> simWindow;
    std::unique_ptr<app::SimStationWindowKeeper> simKeeper;
};

}  // namespace bench

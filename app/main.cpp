#include "core/shared_state.h"
#include "app/command_line.h"
#include "app/diagnostic_log.h"
#include "app/program.h"
#include "app/program_log.h"
#include "app/signal_exit.h"
#include "app/sim_station_window.h"
#include "platform/bridge_selector.h"
#include "platform/libftdi_bridge.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_shell.h"
#include "platform/real_clock.h"
#include "simulator/sim_bridge.h"
#include "simulator/station_store.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
constexpr int kPrepareBeepAfterMs = 2000;
}

int main(int argc, char** argv) {
    if (const auto status = app::answerHelpOrVersion(argc, argv, KR_VERSION)) return *status;
    QCoreApplication::setApplicationName("KR-9300 Control Room");  // names the per-user folders, also for --judge
    if (const auto status =
            app::answerJudge(argc, argv, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName("KR-9300 Control Room");
    QApplication::setApplicationVersion(KR_VERSION);
    const app::CommandLine options = app::parseCommandLine(QCoreApplication::arguments());
    if (const auto status = app::answerUsageError(options, QCoreApplication::arguments().value(0))) return *status;

    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);

    core::SharedState state;
    platform::RealClock clock;
    app::ProgramLog log(state, clock);
    platform::LibFtdiBridge usb(options.deviceSerial);
    usb.setNoticeHandler([&log](const platform::BridgeNotice& notice) { log.bridgeNotice(notice); });
    simulator::SimStation station(clock, 7);
    simulator::SimBridge simulated(station);
    // Demo mode chooses the simulated station each time the port is opened.
    platform::BridgeSelector bridge(usb, simulated,
                                    [&state, &options] { return options.demo || state.Settings.RunDemoMode; });

    platform::QtShell shell;
    platform::QtDialogs dialogs;
    app::Program program(state, bridge, clock, dialogs, shell, programFolder, userFolder);
    dialogs.setParent(&program.form);
    app::DiagnosticLog diagnosticLog(state.Diagnostics, program.form, app::DiagnosticLog::defaultFolder());
    // The end is not a request that a busy window could refuse: the loop stops.
    program.setEndHandler([] { QCoreApplication::exit(0); });
    app::SignalExit signalExit(program);  // SIGTERM and SIGINT enter the orderly exit
    if (!signalExit.installed()) qWarning("KR-9300 Control Room: %s", qPrintable(signalExit.error()));

    // The simulated station keeps its settings block and profile slots beside Settings.ini,
    // so that the demo, like a real station, has them again at the next start.
    simulator::StationStore stationMemory(
        station, QFileInfo(program.file.path()).dir().filePath(simulator::StationStore::kFileName));
    if (!stationMemory.damaged().isEmpty())
        qWarning("KR-9300 Control Room: %s: %s damaged, factory contents used", qPrintable(stationMemory.path()),
                 qPrintable(stationMemory.damaged().join(", ")));

    app::SimStationWindow simWindow(station, clock);
    app::SimStationWindowKeeper simKeeper(simWindow, program.form, clock, [&] { return bridge.alternativeInUse(); });

    program.runHistory().setShopDatabase(options.runsDb);
    program.start();
    // What the first window does not need is made ready once it is up: the beep's audio output.
    clock.schedule(kPrepareBeepAfterMs, [&shell] { shell.prepareBeep(); });
    if (options.demo) program.poller.M_Tools_Connect_Click();
    const int status = app.exec();
    if (!stationMemory.save())
        qWarning("KR-9300 Control Room: cannot write %s: %s", qPrintable(stationMemory.path()),
                 qPrintable(stationMemory.error()));
    return status;
}

#include "core/shared_state.h"
#include "app/program.h"
#include "app/sim_station_window.h"
#include "platform/bridge_selector.h"
#include "platform/libftdi_bridge.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_shell.h"
#include "platform/real_clock.h"
#include "simulator/sim_bridge.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KR-9300 Control Room");
    QApplication::setApplicationVersion(KR_VERSION);

    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);

    core::SharedState state;
    platform::RealClock clock;
    platform::LibFtdiBridge usb;
    simulator::SimStation station(clock, 7);
    simulator::SimBridge simulated(station);
    // Demo mode chooses the simulated station each time the port is opened.
    platform::BridgeSelector bridge(usb, simulated, [&state] { return state.Settings.RunDemoMode; });

    platform::QtShell shell;
    platform::QtDialogs dialogs;
    app::Program program(state, bridge, clock, dialogs, shell, programFolder, userFolder);
    dialogs.setParent(&program.form);
    program.form.setEndHandler([] { QCoreApplication::quit(); });

    app::SimStationWindow simWindow(station, clock);
    app::SimStationWindowKeeper simKeeper(simWindow, program.form, clock, [&] { return bridge.alternativeInUse(); });

    program.start();
    return app.exec();
}

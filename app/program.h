#pragma once
#include "core/shared_state.h"
#include "link/departure.h"
#include "link/link.h"
#include "link/poller.h"
#include "link/profile_transfer.h"
#include "mainwin/exit_warning_form.h"
#include "mainwin/form1.h"
#include "settings/settings_file.h"

namespace platform {
class Bridge;
class Clock;
class Dialogs;
class Shell;
}  // namespace platform

namespace app {

// The program put together: the settings file, the link, the main window, the poller,
// leaving, and the windows the menus open. The app builds one over the real bridge,
// tests build one over the simulated station.
class Program {
public:
    Program(core::SharedState& state, platform::Bridge& bridge, platform::Clock& clock, platform::Dialogs& dialogs,
            platform::Shell& shell, const QString& programFolder, const QString& userFolder);

    // Form_Load, then the window is shown.
    void start();

    core::SharedState& state;
    platform::Clock& clock;
    settings::SettingsFile file;
    stationlink::Link link;
    mainwin::Form1 form;
    stationlink::Poller poller;
    stationlink::StationProfiles profiles;  // the poller's actions for request slots 5 and 8
    mainwin::frmExit_Warning warning;
    stationlink::Departure departure;

    void openOptions();
    void openAbout();
};

}  // namespace app

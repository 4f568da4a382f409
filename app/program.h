#pragma once
#include "app/exit_question.h"
#include "core/shared_state.h"
#include "link/departure.h"
#include "link/link.h"
#include "link/poller.h"
#include "link/profile_transfer.h"
#include "mainwin/exit_warning_form.h"
#include "mainwin/form1.h"
#include "defaults/form_defaults.h"
#include "platform/clock.h"
#include "profiles/profile_editor_form.h"
#include "settings/own_settings.h"
#include "settings/settings_file.h"

#include <QPointer>
#include <memory>
#include <vector>

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

    ~Program();

    // The own settings and Form_Load, then the window is shown.
    void start();

    core::SharedState& state;
    platform::Clock& clock;
    settings::SettingsFile file;
    // The program's own per-user settings (the run guard's limits), read by start().
    settings::OwnSettings own;
    stationlink::Link link;
    mainwin::Form1 form;
    stationlink::Poller poller;
    stationlink::StationProfiles profiles;  // the poller's actions for request slots 5 and 8
    mainwin::frmExit_Warning warning;
    stationlink::Departure departure;
    // File > Exit and the close box: asks first while a heater is on.
    ExitQuestion exitQuestion;
    // Where run records go when the program folder cannot be written.
    QString userDataFolder;

    void openOptions();
    void openAbout();
    // The profile editor, opened without blocking; the flags run New or Open on its first paint.
    void openEditor(bool newProfile, bool openProfile);
    profiles::Profile_Editor_Form* editor() const { return editor_; }
    void openRunRecords();
    // The defaults tool, once no poller tick is running.
    void openDefaults();
    defaults::Form_Defaults* defaultsTool() const { return defaults_; }
    // Leaving the program: File > Exit, the window's close box, a termination signal.
    // While a disconnect runs, the exit waits until it has finished.
    void requestExit();

private:
    platform::Dialogs& dialogs_;
    platform::Shell& shell_;
    QString programFolder_;
    QPointer<profiles::Profile_Editor_Form> editor_;
    QPointer<defaults::Form_Defaults> defaults_;
    platform::Bridge& bridge_;
    std::unique_ptr<platform::Timer> exitRetry_;  // retries a held-up exit every 200 ms
    std::vector<QPointer<QWidget>> retired_;      // closed windows not deleted yet
    template <class Window>
    void retire(QPointer<Window>& window);
};

}  // namespace app

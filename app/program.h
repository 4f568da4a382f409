#pragma once
#include "app/exit_question.h"
#include "core/shared_state.h"
#include "link/departure.h"
#include "link/link.h"
#include "link/poller.h"
#include "mainwin/exit_warning_form.h"
#include "mainwin/form1.h"
#include "profiles/profile_editor_form.h"

#include <QPointer>
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

    ~Program();

    // Form_Load, then the window is shown.
    void start();

    core::SharedState& state;
    platform::Clock& clock;
    settings::SettingsFile file;
    stationlink::Link link;
    mainwin::Form1 form;
    stationlink::Poller poller;
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

private:
    platform::Dialogs& dialogs_;
    platform::Shell& shell_;
    QString programFolder_;
    QPointer<profiles::Profile_Editor_Form> editor_;
};

}  // namespace app

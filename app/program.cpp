#include "app/program.h"

#include "mainwin/options_form.h"
#include "profiles/run_record.h"
#include "ui/about_form.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace app {

Program::Program(core::SharedState& s, platform::Bridge& bridge, platform::Clock& c, platform::Dialogs& dialogs,
                 platform::Shell& shell, const QString& programFolder, const QString& userFolder)
    : state(s),
      clock(c),
      file(s, programFolder, userFolder),
      own(s, userFolder),
      link(s, bridge, c),
      form(s, dialogs, shell, file, programFolder),
      poller(s, link, shell, form, file),
      profiles(link, form),
      warning(c),  // its own window: the main window is disabled while it shows
      departure(s, link, poller, form, warning, form),
      exitQuestion(s, c, dialogs, [this] { requestExit(); }, form),
      userDataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
      dialogs_(dialogs),
      shell_(shell),
      programFolder_(programFolder),
      bridge_(bridge) {
    form.attach(poller);
    poller.setAction(core::SlotProfileRead, [this] { profiles.ReadStationProfile(); });
    poller.setAction(core::SlotProfileWrite, [this] { profiles.WriteStationProfile(); });
    warning.setManualDisconnect([this] { departure.Command1_Click(); });
    form.setExitHandler([this] { exitQuestion.requestExit(); });
    exitRetry_ = clock.createTimer(200, [this] {
        exitRetry_->setEnabled(false);
        requestExit();
    });
    form.setMenuAction(form.M_Tools_Disconnect, [this] { departure.M_Tools_Disconnect_Click(); });
    form.setMenuAction(form.M_Tools_Options, [this] { openOptions(); });
    form.setMenuAction(form.M_Help_About, [this] { openAbout(); });
    form.setMenuAction(form.M_File_New_Profile, [this] { openEditor(true, false); });
    form.setMenuAction(form.M_File_Open_Profile, [this] { openEditor(false, true); });
    form.setMenuAction(form.M_Profile_Editor, [this] { openEditor(false, false); });
    form.setMenuAction(form.M_Profile_Run_Records, [this] { openRunRecords(); });
    form.setMenuAction(form.M_Tools_Defaults, [this] { openDefaults(); });
}

Program::~Program() {
    delete editor_;
    delete defaults_;
    for (const QPointer<QWidget>& w : retired_) delete w.data();
}

// A window that has closed is gone for the menus even before the event loop has deleted
// it (a window closed inside a pumped wait is deleted only once control is back in the
// main loop): a new one opens, and the old one is deleted by then or at the end.
template <class Window>
void Program::retire(QPointer<Window>& window) {
    if (window) retired_.push_back(window.data());
    window = nullptr;
}

void Program::start() {
    own.load();  // the run guard's limits are in force before a run can start
    form.Form_Load();
    form.show();
}

void Program::requestExit() {
    if (state.ExitStage == core::DisconnectRunning) {
        exitRetry_->setEnabled(true);
        return;
    }
    // The defaults tool holds the poller, which the exit needs to hand the settings back: an
    // upload under way finishes first, then the tool closes and gives the poller back.
    if (defaults_) {
        if (defaults_->uploader().busy()) {
            exitRetry_->setEnabled(true);
            return;
        }
        defaults_->close();
    }
    departure.M_File_Exit_Click();
}

void Program::openOptions() {
    auto* dialog = new mainwin::OptionsForm(state, file, own, dialogs_, form, &form);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void Program::openAbout() {
    auto* about = new ui::frmAbout(state, form.programFolder(), &form);
    about->show();
}

void Program::openEditor(bool newProfile, bool openProfile) {
    if (editor_ && editor_->isVisible()) {  // one editor at a time
        editor_->raise();
        return;
    }
    retire(editor_);
    state.NewProfileOnShow = newProfile;
    state.OpenProfileOnShow = openProfile;
    editor_ = new profiles::Profile_Editor_Form(state, clock, dialogs_, {programFolder_, userDataFolder},
                                                [this](bool on) { form.setMainWindowEnabled(on); });
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    editor_->Form_Load();
    editor_->show();
}

void Program::openRunRecords() {
    const QString folder = profiles::RunRecord::runsFolder(programFolder_, userDataFolder);
    QDir().mkpath(folder);
    shell_.openUrl(QUrl::fromLocalFile(folder).toString());
}

void Program::openDefaults() {
    if (defaults_ && defaults_->isVisible()) return;
    retire(defaults_);
    // Chosen while a poller tick waits for a reply: the tool starts once that tick is over,
    // so it never talks to the station in the middle of another exchange.
    if (state.PollerBusy || state.TransactionActive) {
        clock.schedule(50, [this] { openDefaults(); });
        return;
    }
    defaults::DefaultsHost host;
    host.stopPoller = [this] { poller.USB_Service_Timer().setEnabled(false); };
    host.resumePoller = [this] {
        poller.USB_Service_Timer().setEnabled(true);
        form.setMainWindowEnabled(true);
    };
    defaults_ = new defaults::Form_Defaults(state, bridge_, clock, host);
    defaults_->setAttribute(Qt::WA_DeleteOnClose);
    defaults_->show();
    defaults_->Form_Load();
}

}  // namespace app

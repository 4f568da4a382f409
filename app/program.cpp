#include "app/program.h"

#include "ui/about_form.h"
#include "mainwin/options_form.h"

namespace app {

Program::Program(core::SharedState& s, platform::Bridge& bridge, platform::Clock& c, platform::Dialogs& dialogs,
                 platform::Shell& shell, const QString& programFolder, const QString& userFolder)
    : state(s),
      clock(c),
      file(s, programFolder, userFolder),
      link(s, bridge, c),
      form(s, dialogs, shell, file, programFolder),
      poller(s, link, shell, form, file),
      profiles(link, form),
      warning(c),  // its own window: the main window is disabled while it shows
      departure(s, link, poller, form, warning, form) {
    form.attach(poller);
    poller.setAction(core::SlotProfileRead, [this] { profiles.ReadStationProfile(); });
    poller.setAction(core::SlotProfileWrite, [this] { profiles.WriteStationProfile(); });
    warning.setManualDisconnect([this] { departure.Command1_Click(); });
    form.setExitHandler([this] { departure.M_File_Exit_Click(); });
    form.setMenuAction(form.M_Tools_Disconnect, [this] { departure.M_Tools_Disconnect_Click(); });
    form.setMenuAction(form.M_Tools_Options, [this] { openOptions(); });
    form.setMenuAction(form.M_Help_About, [this] { openAbout(); });
}

void Program::start() {
    form.Form_Load();
    form.show();
}

void Program::openOptions() {
    auto* dialog = new mainwin::OptionsForm(state, file, form, &form);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void Program::openAbout() {
    auto* about = new ui::frmAbout(state, form.programFolder(), &form);
    about->show();
}

}  // namespace app

#include "ui/save_dialog.h"

#include "platform/dialogs.h"
#include "ui/save_name.h"

#include <QFileInfo>

namespace ui {

void askSaveName(platform::Dialogs& dialogs, const QString& folder, const SaveRequest& request,
                 std::function<void(const QString&)> save) {
    const platform::Dialogs::SaveChoice choice =
        dialogs.saveFileTyped("Save As", request.filter, folder, request.initialName);
    if (choice.fileName.isEmpty()) return;
    const QString name = resolveSaveName(choice.fileName, request.extensions, choice.filterIndex);
    if (name.isEmpty()) {
        dialogs.message(request.title, QString("\"%1\" was not saved: %2 saved as %3.")
                                           .arg(QFileInfo(choice.fileName).fileName(), request.what,
                                                extensionList(request.extensions)));
        return;
    }
    // The dialog asked about the name as typed; a completed name may be another file.
    if (name == choice.fileName || !QFileInfo::exists(name)) {
        save(name);
        return;
    }
    platform::Dialogs* d = &dialogs;
    dialogs.askYesNoCancel(request.title,
                           QString("%1 already exists.\nDo you want to replace it? (No chooses another name.)")
                               .arg(QFileInfo(name).fileName()),
                           [d, folder, request, save, name](platform::Dialogs::Answer a) {
                               if (a == platform::Dialogs::Answer::Yes) save(name);
                               else if (a == platform::Dialogs::Answer::No) askSaveName(*d, folder, request, save);
                           });
}

}  // namespace ui

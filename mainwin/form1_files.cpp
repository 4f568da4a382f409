// "Save Graph" and "Save Log": the name the operator chose, completed or refused, then
// the file.
#include "mainwin/form1.h"

#include "core/shared_state.h"
#include "mainwin/log_file.h"
#include "platform/dialogs.h"
#include "platform/picture_file.h"
#include "platform/program_folder.h"
#include "ui/save_name.h"

#include <QFileInfo>

namespace mainwin {

const QStringList& Form1::pictureExtensions() {
    static const QStringList extensions{"jpg", "png", "gif", "bmp"};
    return extensions;
}

void Form1::askSaveName(const SaveRequest& request, std::function<void(const QString&)> save) {
    const platform::Dialogs::SaveChoice choice =
        dialogs_.saveFileTyped("Save As", request.filter, platform::documentsFolder(programFolder_), request.initialName);
    if (choice.fileName.isEmpty()) return;
    const QString name = ui::resolveSaveName(choice.fileName, request.extensions, choice.filterIndex);
    if (name.isEmpty()) {
        dialogs_.message(request.title, QString("\"%1\" was not saved: %2 saved as %3.")
                                            .arg(QFileInfo(choice.fileName).fileName(), request.what,
                                                 ui::extensionList(request.extensions)));
        return;
    }
    // The dialog asked about the name as typed; a completed name may be another file.
    if (name == choice.fileName || !QFileInfo::exists(name)) {
        save(name);
        return;
    }
    dialogs_.askYesNoCancel(request.title,
                            QString("%1 already exists.\nDo you want to replace it? (No chooses another name.)")
                                .arg(QFileInfo(name).fileName()),
                            [this, request, save, name](platform::Dialogs::Answer a) {
                                if (a == platform::Dialogs::Answer::Yes) save(name);
                                else if (a == platform::Dialogs::Answer::No) askSaveName(request, save);
                            });
}

void Form1::Command8_Click() {
    const SaveRequest request{"Save Graph",
                              "JPG Picture (*.jpg)|*.jpg|PNG Picture (*.png)|*.png|GIF Picture (*.gif)|*.gif|"
                              "BMP Picture (*.bmp)|*.bmp",
                              QString(), pictureExtensions(), "pictures are"};
    askSaveName(request, [this](const QString& name) {
        QString error;
        if (!platform::savePicture(trend_->picture(), name, &error)) dialogs_.message("Save Graph", error);
    });
}

void Form1::Command2_Click() {
    const QString proposed = state_.MachineId.isEmpty() ? QString("KR-9300_Log") : state_.MachineId;
    const SaveRequest request{"Save Log", "KR-9300 Log File (*.zlg)|*.zlg|All Files (*.*)|*.*", proposed,
                              QStringList{kLogExtension}, "the log is"};
    askSaveName(request, [this](const QString& name) {
        if (!writeLogFile(name, logLines(state_.MachineId, state_.FirmwareVersion, state_.Diagnostics.lines())))
            dialogs_.message("Save Log", "The log could not be written to " + name + ".");
    });
}

}  // namespace mainwin

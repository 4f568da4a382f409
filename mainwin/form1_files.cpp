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

void Form1::Command8_Click() {
    const platform::Dialogs::SaveChoice choice = dialogs_.saveFileTyped(
        "Save As", "JPG Picture (*.jpg)|*.jpg|PNG Picture (*.png)|*.png|GIF Picture (*.gif)|*.gif|BMP Picture (*.bmp)|*.bmp",
        platform::documentsFolder(programFolder_), QString());
    if (choice.fileName.isEmpty()) return;
    const QString name = ui::resolveSaveName(choice.fileName, pictureExtensions(), choice.filterIndex);
    if (name.isEmpty()) {
        dialogs_.message("Save Graph", QString("\"%1\" was not saved: pictures are saved as %2.")
                                           .arg(QFileInfo(choice.fileName).fileName(),
                                                ui::extensionList(pictureExtensions())));
        return;
    }
    QString error;
    if (!platform::savePicture(trend_->picture(), name, &error)) dialogs_.message("Save Graph", error);
}

void Form1::Command2_Click() {
    const QString proposed = state_.MachineId.isEmpty() ? QString("KR-9300_Log") : state_.MachineId;
    const platform::Dialogs::SaveChoice choice = dialogs_.saveFileTyped(
        "Save As", "KR-9300 Log File (*.zlg)|*.zlg|All Files (*.*)|*.*", platform::documentsFolder(programFolder_), proposed);
    if (choice.fileName.isEmpty()) return;
    const QStringList extensions{kLogExtension};
    const QString name = ui::resolveSaveName(choice.fileName, extensions, choice.filterIndex);
    if (name.isEmpty()) {
        dialogs_.message("Save Log", QString("\"%1\" was not saved: the log is saved as %2.")
                                         .arg(QFileInfo(choice.fileName).fileName(), ui::extensionList(extensions)));
        return;
    }
    if (!writeLogFile(name, logLines(state_.MachineId, state_.FirmwareVersion, state_.Diagnostics.lines())))
        dialogs_.message("Save Log", "The log could not be written to " + name + ".");
}

}  // namespace mainwin

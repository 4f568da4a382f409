// "Save Graph" and "Save Log": the name the operator chose, completed or refused, then
// the file.
#include "mainwin/form1.h"

#include "core/shared_state.h"
#include "mainwin/log_file.h"
#include "platform/dialogs.h"
#include "platform/picture_file.h"
#include "platform/program_folder.h"
#include "ui/save_dialog.h"

#include <QFileInfo>

namespace mainwin {

const QStringList& Form1::pictureExtensions() {
    static const QStringList extensions{"jpg", "png", "gif", "bmp"};
    return extensions;
}

void Form1::askSaveName(const ui::SaveRequest& request, std::function<void(const QString&)> save) {
    ui::askSaveName(dialogs_, platform::documentsFolder(programFolder_), request, std::move(save));
}

void Form1::Command8_Click() {
    const ui::SaveRequest request{"Save Graph",
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
    const ui::SaveRequest request{"Save Log", "KR-9300 Log File (*.zlg)|*.zlg|All Files (*.*)|*.*", proposed,
                              QStringList{kLogExtension}, "the log is"};
    askSaveName(request, [this](const QString& name) {
        if (!writeLogFile(name, logLines(state_.MachineId, state_.FirmwareVersion, state_.Diagnostics.lines())))
            dialogs_.message("Save Log", "The log could not be written to " + name + ".");
    });
}

}  // namespace mainwin

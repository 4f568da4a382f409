#include "platform/qt_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace platform {

void QtDialogs::message(const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->show();
}

QString QtDialogs::openFile(const QString& title, const QString& filter, const QString& folder,
                            const QString& initialName) {
    return QFileDialog::getOpenFileName(parent_, title, QDir(folder).filePath(initialName),
                                        toQtFilter(filter));
}

QString QtDialogs::saveFile(const QString& title, const QString& filter, const QString& folder,
                            const QString& initialName) {
    // Without DontConfirmOverwrite the dialog asks before it accepts an existing file.
    return QFileDialog::getSaveFileName(parent_, title, QDir(folder).filePath(initialName),
                                        toQtFilter(filter));
}

}  // namespace platform

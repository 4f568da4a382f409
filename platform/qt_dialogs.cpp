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

Dialogs::SaveChoice QtDialogs::saveFileTyped(const QString& title, const QString& filter, const QString& folder,
                                             const QString& initialName) {
    const QString qtFilter = toQtFilter(filter);
    QString selected;
    SaveChoice choice;
    choice.fileName =
        QFileDialog::getSaveFileName(parent_, title, QDir(folder).filePath(initialName), qtFilter, &selected);
    choice.filterIndex = std::max(0, int(qtFilter.split(";;").indexOf(selected)));
    return choice;
}

void QtDialogs::askYesNoCancel(const QString& title, const QString& text, std::function<void(Answer)> answered) {
    auto* box = new QMessageBox(QMessageBox::Question, title, text,
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)](int) {
        const QMessageBox::StandardButton b = box->standardButton(box->clickedButton());
        answered(b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel);
    });
    box->show();
}

void QtDialogs::askYesNo(const QString& title, const QString& text, std::function<void(bool yes)> answered) {
    auto* box = new QMessageBox(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)](int) {
        answered(box->standardButton(box->clickedButton()) == QMessageBox::Yes);
    });
    box->show();
}

}  // namespace platform

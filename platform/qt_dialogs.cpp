#include "platform/qt_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

QtDialogs::QtDialogs(QWidget* parent) : shared_(std::make_shared<Shared>()) { shared_->mainWindow = parent; }

QtDialogs::QtDialogs(std::shared_ptr<Shared> shared, std::function<QWidget*()> owner)
    : shared_(std::move(shared)), owner_(std::move(owner)) {}

std::unique_ptr<Dialogs> QtDialogs::ownedBy(std::function<QWidget*()> owner) {
    return std::unique_ptr<Dialogs>(new QtDialogs(shared_, std::move(owner)));
}

QWidget* QtDialogs::parent() const {
    QWidget* owner = owner_ ? owner_() : nullptr;
    if (owner && owner->isVisible()) return owner;
    return shared_->mainWindow;
}

QMessageBox* QtDialogs::twin(const QString& title, const QString& text) const {
    QWidget* p = parent();
    for (const QPointer<QMessageBox>& box : shared_->open)
        if (box && box->isVisible() && box->parentWidget() == p && box->windowTitle() == title && box->text() == text)
            return box;
    return nullptr;
}

void QtDialogs::show(QMessageBox* box) {
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    shared_->open.removeAll(nullptr);
    shared_->open.append(box);
    box->show();
    box->raise();
    box->activateWindow();
}

void QtDialogs::message(const QString& title, const QString& text) {
    if (QMessageBox* up = twin(title, text)) {
        up->raise();
        up->activateWindow();
        return;
    }
    show(new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent()));
}

QString QtDialogs::openFile(const QString& title, const QString& filter, const QString& folder,
                            const QString& initialName) {
    return QFileDialog::getOpenFileName(parent(), title, QDir(folder).filePath(initialName), toQtFilter(filter));
}

QString QtDialogs::saveFile(const QString& title, const QString& filter, const QString& folder,
                            const QString& initialName) {
    // Without DontConfirmOverwrite the dialog asks before it accepts an existing file.
    return QFileDialog::getSaveFileName(parent(), title, QDir(folder).filePath(initialName), toQtFilter(filter));
}

Dialogs::SaveChoice QtDialogs::saveFileTyped(const QString& title, const QString& filter, const QString& folder,
                                             const QString& initialName) {
    const QString qtFilter = toQtFilter(filter);
    QString selected;
    SaveChoice choice;
    choice.fileName =
        QFileDialog::getSaveFileName(parent(), title, QDir(folder).filePath(initialName), qtFilter, &selected);
    choice.filterIndex = std::max(0, int(qtFilter.split(";;").indexOf(selected)));
    return choice;
}

void QtDialogs::askYesNoCancel(const QString& title, const QString& text, std::function<void(Answer)> answered) {
    if (QMessageBox* up = twin(title, text)) {  // asked again while it is up: the one answer does
        up->raise();
        up->activateWindow();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Question, title, text,
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent());
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::Cancel);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)](int) {
        const QMessageBox::StandardButton b = box->standardButton(box->clickedButton());
        answered(b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel);
    });
    show(box);
}

void QtDialogs::askSaveChanges(const QString& title, const QString& text, std::function<void(Answer)> answered) {
    if (QMessageBox* up = twin(title, text)) {
        up->raise();
        up->activateWindow();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Question, title, text,
                                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent());
    box->button(QMessageBox::Discard)->setText("Don't Save");
    box->setDefaultButton(QMessageBox::Save);
    box->setEscapeButton(QMessageBox::Cancel);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)](int) {
        const QMessageBox::StandardButton b = box->standardButton(box->clickedButton());
        answered(b == QMessageBox::Save ? Answer::Yes : b == QMessageBox::Discard ? Answer::No : Answer::Cancel);
    });
    show(box);
}

void QtDialogs::askYesNo(const QString& title, const QString& text, std::function<void(bool yes)> answered) {
    if (QMessageBox* up = twin(title, text)) {
        up->raise();
        up->activateWindow();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent());
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)](int) {
        answered(box->standardButton(box->clickedButton()) == QMessageBox::Yes);
    });
    show(box);
}

}  // namespace platform

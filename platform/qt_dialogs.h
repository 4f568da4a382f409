#pragma once
#include "platform/dialogs.h"

#include <QList>
#include <QPointer>

#include <memory>

class QMessageBox;

namespace platform {

// Dialogs on Qt widgets. Message boxes are window-modal to their owner and do not block
// the caller; a message whose twin (same owner, title and text) is still up is not shown
// a second time: the box already there is raised instead.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr);
    // The main window, for dialogs that name no owner of their own.
    void setParent(QWidget* parent) { shared_->mainWindow = parent; }
    void message(const QString& title, const QString& text) override;
    QString openFile(const QString& title, const QString& filter, const QString& folder,
                     const QString& initialName) override;
    QString saveFile(const QString& title, const QString& filter, const QString& folder,
                     const QString& initialName) override;
    SaveChoice saveFileTyped(const QString& title, const QString& filter, const QString& folder,
                             const QString& initialName) override;
    void askYesNoCancel(const QString& title, const QString& text, std::function<void(Answer)> answered) override;
    void askYesNo(const QString& title, const QString& text, std::function<void(bool yes)> answered) override;
    void askSaveChanges(const QString& title, const QString& text, std::function<void(Answer)> answered) override;
    std::unique_ptr<Dialogs> ownedBy(std::function<QWidget*()> owner) override;

private:
    // What every QtDialogs made from one shares: the main window and the boxes now up.
    struct Shared {
        QPointer<QWidget> mainWindow;
        QList<QPointer<QMessageBox>> open;
    };
    QtDialogs(std::shared_ptr<Shared> shared, std::function<QWidget*()> owner);
    QWidget* parent() const;
    // A box that answers the same question over the same window, if one is up.
    QMessageBox* twin(const QString& title, const QString& text) const;
    void show(QMessageBox* box);

    std::shared_ptr<Shared> shared_;
    std::function<QWidget*()> owner_;
};

}  // namespace platform

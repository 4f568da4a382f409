#pragma once
#include "platform/dialogs.h"

#include <QPointer>

namespace platform {

// Dialogs on Qt widgets. Message boxes are window-modal and do not block the caller.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void message(const QString& title, const QString& text) override;
    QString openFile(const QString& title, const QString& filter, const QString& folder,
                     const QString& initialName) override;
    QString saveFile(const QString& title, const QString& filter, const QString& folder,
                     const QString& initialName) override;
    SaveChoice saveFileTyped(const QString& title, const QString& filter, const QString& folder,
                             const QString& initialName) override;
    void askYesNoCancel(const QString& title, const QString& text, std::function<void(Answer)> answered) override;
    void askYesNo(const QString& title, const QString& text, std::function<void(bool yes)> answered) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace platform

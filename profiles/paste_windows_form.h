#pragma once
#include "process/paste_window.h"

#include <QDialog>

#include <functional>
#include <map>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace platform {
class Dialogs;
}
namespace settings {
class OwnSettings;
}

namespace profiles {

// "Paste Windows": the built-in paste windows and the user's own. The user's windows are
// added by copying one, changed and removed here; the built-in ones can only be copied.
// Every change is written to the program's own settings file at once.
class PasteWindowsForm : public QDialog {
    Q_OBJECT
public:
    // Window-modal to `parent`; message boxes stand over this window.
    PasteWindowsForm(settings::OwnSettings& own, platform::Dialogs& dialogs, QWidget* parent);
    ~PasteWindowsForm() override;

    // Told after the user's windows were written, with the names of all windows.
    void setChangedHandler(std::function<void()> handler) { onChanged_ = std::move(handler); }

    void cmdCopy_Click();
    void cmdSave_Click();
    void cmdRemove_Click();

    // The window shown in the boxes, read back; empty with the texts of what is wrong.
    std::optional<process::PasteWindow> windowFromBoxes(QStringList* problems) const;
    const QList<process::PasteWindow>& userWindows() const { return user_; }
    // Selects the window of that name (any case) and shows it in the boxes, edits dropped;
    // false when there is none.
    bool select(const QString& name);

    QListWidget* lstWindows = nullptr;
    QLineEdit* txtName = nullptr;
    std::map<QString, QLineEdit*> numberBoxes;  // by the key of the file, "LiquidusC", ...
    QLabel* lblNote = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void buildControls();
    void fillList(const QString& selectName);
    void showSelected();
    bool store(const QString& selectName);
    int userIndex() const;  // the selected window among the user's, -1 for a built-in one

    settings::OwnSettings& own_;
    std::unique_ptr<platform::Dialogs> dialogs_;
    QList<process::PasteWindow> user_;
    std::function<void()> onChanged_;
};

}  // namespace profiles

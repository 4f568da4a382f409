#pragma once
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

// Message boxes and file dialogs. Filters use the "Text|*.ext|Text|*.ext" form.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a message with an OK button; returns at once.
    virtual void message(const QString& title, const QString& text) = 0;
    // Returns the chosen file name, or an empty string when cancelled.
    virtual QString openFile(const QString& title, const QString& filter, const QString& folder,
                             const QString& initialName) = 0;
    // A save dialog asks before it returns the name of a file that exists; "No" goes back
    // to the dialog, so the operator picks another name or cancels.
    virtual QString saveFile(const QString& title, const QString& filter, const QString& folder,
                             const QString& initialName) = 0;

    // A save dialog that also tells which entry of the filter (0 = the first) was chosen.
    struct SaveChoice {
        QString fileName;  // empty when cancelled
        int filterIndex = 0;
    };
    virtual SaveChoice saveFileTyped(const QString& title, const QString& filter, const QString& folder,
                                     const QString& initialName) = 0;

    // A question with Yes, No and Cancel. Returns at once; the answer comes through the
    // callback (closing the box answers Cancel).
    enum class Answer { Yes, No, Cancel };
    virtual void askYesNoCancel(const QString& title, const QString& text, std::function<void(Answer)> answered) = 0;
    // "Save the changes ...?" with Save (the default, answered as Yes), Don't Save (No) and
    // Cancel. Returns at once; closing the box answers Cancel.
    virtual void askSaveChanges(const QString& title, const QString& text, std::function<void(Answer)> answered) = 0;
    // A question with Yes (the default) and No. Returns at once; closing the box answers No.
    virtual void askYesNo(const QString& title, const QString& text, std::function<void(bool yes)> answered) = 0;

    // The same dialogs for one window: every box and file dialog stands over the window
    // `owner` names when it opens and is window-modal to it. The owner is asked each time,
    // so a window can be given its dialogs before it exists; none means the program's main window.
    virtual std::unique_ptr<Dialogs> ownedBy(std::function<QWidget*()> owner) = 0;
};

// "Pictures|*.png|All|*.*" becomes "Pictures (*.png);;All (*.*)". A text that already
// ends with its patterns in brackets keeps them once.
QString toQtFilter(const QString& filter);

}  // namespace platform

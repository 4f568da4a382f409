#pragma once
#include <QString>

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
};

// "Pictures|*.png|All|*.*" becomes "Pictures (*.png);;All (*.*)"; a text that already
// ends with its patterns in brackets ("Pictures (*.png)|*.png") is kept as it is.
QString toQtFilter(const QString& filter);

}  // namespace platform

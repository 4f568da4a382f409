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
    virtual QString saveFile(const QString& title, const QString& filter, const QString& folder,
                             const QString& initialName) = 0;
};

// "Pictures|*.png|All|*.*" becomes "Pictures (*.png);;All (*.*)".
QString toQtFilter(const QString& filter);

}  // namespace platform

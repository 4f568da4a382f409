#pragma once
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {
class Dialogs;
}

namespace ui {

// What a save asks for: the dialog's title and filter, the first name, the extensions in the
// order of the filter's entries, and what the refusal says is allowed ("pictures are").
struct SaveRequest {
    QString title, filter, initialName;
    QStringList extensions;
    QString what;
};

// The save dialog's name, completed with the chosen entry's extension; any other extension is
// refused with a message. A completed name that is an existing file is replaced only when the
// operator says so; "No" opens the dialog again. `save` gets the final name.
void askSaveName(platform::Dialogs& dialogs, const QString& folder, const SaveRequest& request,
                 std::function<void(const QString&)> save);

}  // namespace ui

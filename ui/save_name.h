#pragma once
#include <QString>
#include <QStringList>

namespace ui {

// The file a save dialog's answer names, given the extensions the file may have (lower
// case, without the dot, in the order of the dialog's filter entries) and the entry the
// operator chose. A name without extension takes the chosen entry's extension (an entry
// past the list, such as "All Files", counts as the first); a name with one of the
// extensions, in any letter case, is kept; any other extension is refused: the result is
// then empty.
QString resolveSaveName(const QString& chosen, const QStringList& extensions, int filterIndex);

// ".jpg, .png, .gif or .bmp", for the message that refuses a name.
QString extensionList(const QStringList& extensions);

}  // namespace ui

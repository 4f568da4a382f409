#include "ui/save_name.h"

#include <QFileInfo>

namespace ui {

QString resolveSaveName(const QString& chosen, const QStringList& extensions, int filterIndex) {
    if (chosen.isEmpty() || extensions.isEmpty()) return {};
    QString name = chosen;
    while (name.endsWith('.')) name.chop(1);  // "chart." has no extension either
    const QString suffix = QFileInfo(name).suffix();
    if (suffix.isEmpty()) {
        const int i = filterIndex >= 0 && filterIndex < extensions.size() ? filterIndex : 0;
        return name + "." + extensions[i];
    }
    return extensions.contains(suffix.toLower()) ? name : QString();
}

QString extensionList(const QStringList& extensions) {
    QStringList dotted;
    for (const QString& e : extensions) dotted << "." + e;
    if (dotted.size() < 2) return dotted.join(QString());
    const QString last = dotted.takeLast();
    return dotted.join(", ") + " or " + last;
}

}  // namespace ui

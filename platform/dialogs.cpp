#include "platform/dialogs.h"

#include <QStringList>

namespace platform {

QString toQtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        const QString shown = "(" + patterns + ")";
        out << (parts[i].trimmed().endsWith(shown) ? parts[i] : parts[i] + " " + shown);
    }
    return out.join(";;");
}

}  // namespace platform

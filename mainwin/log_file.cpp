#include "mainwin/log_file.h"

#include <QSaveFile>

namespace mainwin {

QStringList logLines(const QString& machineId, int firmwareVersion, const QStringList& diagnostics) {
    QStringList out;
    out << "Serial No.: " + (machineId.isEmpty() ? QString("N/A") : machineId);
    out << "Firmware Version: " + (machineId.isEmpty() ? QString("N/A") : QString::number(firmwareVersion));
    out << diagnostics;
    return out;
}

bool writeLogFile(const QString& fileName, const QStringList& lines) {
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray data;
    for (const QString& l : lines) data += l.toLatin1() + "\r\n";
    if (f.write(data) != data.size() || !f.flush()) {  // a full disk fails the flush
        f.cancelWriting();
        f.commit();
        return false;
    }
    return f.commit();
}

}  // namespace mainwin

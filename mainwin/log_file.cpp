#include "mainwin/log_file.h"

#include "platform/text_file.h"

namespace mainwin {

QStringList logLines(const QString& machineId, int firmwareVersion, const QStringList& diagnostics) {
    QStringList out;
    out << "Serial No.: " + (machineId.isEmpty() ? QString("N/A") : machineId);
    out << "Firmware Version: " + (machineId.isEmpty() ? QString("N/A") : QString::number(firmwareVersion));
    out << diagnostics;
    return out;
}

bool writeLogFile(const QString& fileName, const QStringList& lines) {
    return platform::writeTextLines(fileName, lines).ok();
}

}  // namespace mainwin

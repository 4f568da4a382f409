#pragma once
#include <QString>
#include <QStringList>

namespace mainwin {

// The diagnostic log file: two header lines naming the station, then every line of the
// diagnostic list, each ended by CR LF.
QStringList logLines(const QString& machineId, int firmwareVersion, const QStringList& diagnostics);
bool writeLogFile(const QString& fileName, const QStringList& lines);

}  // namespace mainwin

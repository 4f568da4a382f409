#include "app/diagnostic_log.h"

#include "mainwin/form1.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdio>

namespace app {

DiagnosticLog::DiagnosticLog(core::DiagnosticList& list, mainwin::Form1& form, const QString& folder)
    : list_(list), file_(QDir(folder).filePath(kFileName)) {
    list_.setRecorder([this](const QString& line) {
        if (file_.write(line) || failureSaid_) return;
        failureSaid_ = true;
        std::fprintf(stderr, "kr9300: the diagnostic log %s cannot be written: %s\n", qPrintable(file_.path()),
                     qPrintable(file_.error()));
    });
    form.setDiagnosticLogPath(file_.path());
}

DiagnosticLog::~DiagnosticLog() { list_.setRecorder({}); }

QString DiagnosticLog::defaultFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation); }

}  // namespace app

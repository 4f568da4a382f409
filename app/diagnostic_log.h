#pragma once
#include "core/diagnostic_list.h"
#include "platform/rotating_log.h"

#include <QString>

namespace mainwin {
class Form1;
}

namespace app {

// Every line of the diagnostic list also goes, with its time, to the per-user log file
// (two files of 1 MiB), and the list's tool tip names that file. A file that cannot be
// written is said once on stderr; the list goes on as before.
class DiagnosticLog {
public:
    static constexpr const char* kFileName = "diagnostic.log";

    DiagnosticLog(core::DiagnosticList& list, mainwin::Form1& form, const QString& folder);
    ~DiagnosticLog();
    DiagnosticLog(const DiagnosticLog&) = delete;
    DiagnosticLog& operator=(const DiagnosticLog&) = delete;

    const QString& path() const { return file_.path(); }
    // The per-user data folder the program keeps its log in.
    static QString defaultFolder();

private:
    core::DiagnosticList& list_;
    platform::RotatingLog file_;
    bool failureSaid_ = false;
};

}  // namespace app

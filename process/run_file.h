#pragma once
#include "process/paste_window.h"
#include "process/run_figures.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace process {

// A run record (.csv) read back: its once-a-second rows and how the run ended.
struct RunFile {
    std::vector<Row> rows;
    bool stopped = false;  // an event says the run was stopped, cancelled or guarded
    QString error;         // why the text is not a run record; empty when it is

    bool ok() const { return error.isEmpty(); }
};

inline constexpr const char* kRunRecordHeader =
    "elapsed_s,board_C,profile_C,upper_heater,lower_heater,fan,machine_mode,state,event";
inline constexpr qint64 kLargestRunRecord = 64 * 1024 * 1024;

// The text of a run record: the header, then rows of nine fields; the once-a-second rows
// have an empty event or "no reply", a row without a reading an empty board_C.
RunFile parseRunRecord(const QByteArray& text);
RunFile readRunRecord(const QString& path);

// Judging a run record from the command line: what to print and the exit status.
struct JudgeAnswer {
    int status = 0;  // kJudgedPass, kJudgedFail or kNotJudged
    QString out;     // the table and the verdict
    QString error;   // why it could not be judged
};
inline constexpr int kJudgedPass = 0;
inline constexpr int kJudgedFail = 1;
inline constexpr int kNotJudged = 2;

// pasteName: a built-in window, one of userWindows, or "None" (no verdict).
JudgeAnswer judgeRunFile(const QString& path, const QString& pasteName, const QList<PasteWindow>& userWindows);

}  // namespace process

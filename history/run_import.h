#pragma once
#include "history/run_entry.h"
#include "process/paste_window.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace history {

class RunDatabase;

// A run record (.csv) read back field for field; error says why it is none.
struct RecordRows {
    std::vector<RunSample> rows;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
RecordRows readRecordRows(const QString& csvPath);
// A run's rows as a run record's lines again, the header first.
QStringList recordLines(const std::vector<RunSample>& rows);

// What the rows say about the run: how it ended (from its events; none of them: the
// program ended under it, "interrupted"), when X1..X3 were reached, its length, and its
// figures and verdict against the paste's window (the alloy's window gives the figures when
// the paste is "None"). Overwrites those fields of `run`.
void judgeFromRows(RunEntry& run, const QList<process::PasteWindow>& windows);

// A run made from a record on disk alone: its start from the file name, profile, points,
// alloy, paste, board and operator from the summary file beside it when there is one, then
// judged from its rows.
RunEntry runFromRecord(const QString& csvPath, const RecordRows& rows, const QList<process::PasteWindow>& windows);

struct ImportResult {
    int imported = 0;
    int interrupted = 0;  // of them, cut short
    QStringList failures;  // "file: why", one a record that could not be read
};

// Brings into the database every run record in the folders it does not hold yet, and ends
// the runs it holds as started but never ended with their records' rows.
ImportResult importRecords(RunDatabase& db, const QStringList& folders, const QList<process::PasteWindow>& windows);

}  // namespace history

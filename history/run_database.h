#pragma once
#include "history/run_entry.h"
#include "history/schema.h"

#include <QSet>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace history {

// The runs database: one SQLite file in the per-user data folder, made and brought to the
// newest schema when it is opened. A file that is not a database or is damaged is renamed
// aside (never deleted) and a new one is made; a database that cannot be used at all leaves
// the program running without it, and problem() says why, once.
class RunDatabase {
public:
    static constexpr const char* kFileName = "RunHistory.sqlite";
    static constexpr const char* kAsideMark = ".damaged-";

    RunDatabase();
    ~RunDatabase();
    RunDatabase(const RunDatabase&) = delete;
    RunDatabase& operator=(const RunDatabase&) = delete;

    // Opens or makes the file and migrates it, at most to `upToVersion` (tests make older
    // schemas so). False when there is no usable database; problem() says why.
    bool open(const QString& path, int upToVersion = newestSchemaVersion());
    void close();
    bool isOpen() const { return open_; }
    QString path() const { return path_; }
    // What went wrong when opening, for the diagnostic list and the history window; empty
    // when nothing did. A file set aside is named in it.
    QString problem() const { return problem_; }
    QString setAsidePath() const { return asidePath_; }
    QString lastError() const { return lastError_; }
    int schemaVersion() const;

    // The run and its rows in one transaction, replacing what the database held under its
    // id: written again, a run is the same run, never a second one.
    bool writeRun(const RunEntry& run);
    // Only the run's line (its rows are written at its end), e.g. when it starts.
    bool writeRunLine(const RunEntry& run);
    std::optional<RunEntry> run(const QString& runId) const;
    std::vector<RunSample> rows(const QString& runId) const;
    // The run records the database knows, by file name without folder.
    QSet<QString> knownRecordFiles() const;
    // Runs that started and never ended (the program was ended under them).
    QStringList unfinishedRuns() const;
    int runCount() const;

    QSqlDatabase connection() const;
    Dialect dialect() const { return dialect_; }

    // Called inside writeRun's transaction before it commits (the shop's forwarding queue
    // adds the run there, so a run kept is a run queued); false undoes the write.
    using RunWritten = std::function<bool(QSqlDatabase& db, const RunEntry& run)>;
    void setOnRunWritten(RunWritten hook) { onRunWritten_ = std::move(hook); }

private:
    bool openFile();
    bool migrate(int upToVersion);
    bool damaged() const;
    void setAside();
    bool fail(const QString& what, const QString& error);

    QString connectionName_;
    QString path_;
    QString problem_, asidePath_;
    mutable QString lastError_;
    bool open_ = false;
    Dialect dialect_ = Dialect::SQLite;
    QString lastNativeCode_, lastErrorText_;
    RunWritten onRunWritten_;
};

// A run's rows, in order, from either kind of database; empty with the reason in `error`
// when they could not be read.
std::vector<RunSample> readRows(const QSqlDatabase& db, const QString& runId, QString* error = nullptr);

// A new run id: a UUID without braces.
QString newRunId();

}  // namespace history

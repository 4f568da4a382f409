#include "history/run_database.h"

#include "history/run_columns.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace history {

namespace {

QVariant optionalNumber(const std::optional<double>& v) {
    return v ? QVariant(*v) : QVariant(QMetaType::fromType<double>());
}

// SQLite's answers for a file that is no database (26) or a damaged one (11).
bool damageCode(const QSqlError& e) {
    const QString code = e.nativeErrorCode();
    return code == "26" || code == "11" || e.databaseText().contains("not a database") ||
           e.databaseText().contains("malformed");
}

}  // namespace

QString newRunId() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

RunDatabase::RunDatabase() : connectionName_("runs-" + newRunId()) {}

RunDatabase::~RunDatabase() { close(); }

QSqlDatabase RunDatabase::connection() const { return QSqlDatabase::database(connectionName_, false); }

void RunDatabase::close() {
    if (QSqlDatabase::contains(connectionName_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName_);
    }
    open_ = false;
}

bool RunDatabase::fail(const QString& what, const QString& error) {
    lastError_ = what + ": " + error;
    return false;
}

bool RunDatabase::open(const QString& path, int upToVersion) {
    close();
    path_ = path;
    problem_.clear();
    asidePath_.clear();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        problem_ = "The run history cannot be kept: the folder " + QFileInfo(path).absolutePath() +
                   " cannot be made. Run records are still written.";
        return false;
    }
    if (openFile() && migrate(upToVersion)) return open_ = true;
    if (damaged()) {
        close();
        setAside();
        if (!asidePath_.isEmpty() && openFile() && migrate(upToVersion)) {
            problem_ = "The run history file was damaged; it was kept as " + asidePath_ +
                       " and a new one was made.";
            return open_ = true;
        }
    }
    close();
    problem_ = "The run history cannot be kept (" + path + ": " + lastError_ + "). Run records are still written.";
    return false;
}

bool RunDatabase::openFile() {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connectionName_);
    db.setDatabaseName(path_);
    dialect_ = dialectOf(db.driverName());
    lastNativeCode_.clear();
    if (!db.open()) {
        lastNativeCode_ = db.lastError().nativeErrorCode();
        lastErrorText_ = db.lastError().databaseText();
        return fail("open", db.lastError().text());
    }
    // A write-ahead log: a run's write does not wait for the disk twice; a crash loses at
    // most the last transaction, which the run record still holds.
    QSqlQuery q(db);
    // The page cache is kept small (512 KiB, not 2 MiB): the system caches the file anyway,
    // and a program left running for weeks should not grow as its history does.
    for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON",
                               "PRAGMA cache_size=-512", "SELECT count(*) FROM sqlite_master"}) {
        if (!q.exec(pragma)) {
            lastNativeCode_ = q.lastError().nativeErrorCode();
            lastErrorText_ = q.lastError().databaseText();
            return fail(pragma, q.lastError().text());
        }
    }
    return true;
}

bool RunDatabase::damaged() const {
    QSqlError e(QString(), lastErrorText_, QSqlError::StatementError, lastNativeCode_);
    return damageCode(e);
}

// The damaged file and its journal files are renamed, never deleted.
void RunDatabase::setAside() {
    const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString aside = path_ + kAsideMark + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n) aside = path_ + kAsideMark + stamp + "-" + QString::number(n);
    if (!QFile::rename(path_, aside)) return;
    for (const char* journal : {"-wal", "-shm", "-journal"})
        if (QFileInfo::exists(path_ + journal)) QFile::rename(path_ + journal, aside + journal);
    asidePath_ = aside;
}

int RunDatabase::schemaVersion() const {
    QSqlQuery q(connection());
    if (!q.exec("SELECT MAX(version) FROM schema_version") || !q.next()) return 0;
    return q.value(0).toInt();
}

bool RunDatabase::migrate(int upToVersion) {
    QSqlDatabase db = connection();
    const SqlTypes types = typesFor(dialect_);
    QSqlQuery q(db);
    auto failed = [&](const QString& what) {
        lastNativeCode_ = q.lastError().nativeErrorCode();
        lastErrorText_ = q.lastError().databaseText();
        return fail(what, q.lastError().text());
    };
    if (!q.exec(schemaVersionTable(types))) return failed("schema_version");
    const int current = schemaVersion();
    if (current > newestSchemaVersion())
        return fail("schema", QString("version %1 was made by a newer program").arg(current));
    for (const Migration& m : migrations()) {
        if (m.version <= current || m.version > upToVersion) continue;
        if (!db.transaction()) return failed("begin");
        for (const QString& statement : m.statements(types)) {
            if (!q.exec(statement)) {
                const bool r = failed(QString("schema version %1 (%2)").arg(m.version).arg(m.what));
                db.rollback();
                return r;
            }
        }
        q.prepare("INSERT INTO schema_version (version, applied_utc) VALUES (?, ?)");
        q.addBindValue(m.version);
        q.addBindValue(utcText(QDateTime::currentDateTimeUtc()));
        if (!q.exec() || !db.commit()) {
            const bool r = failed(QString("schema version %1").arg(m.version));
            db.rollback();
            return r;
        }
    }
    return true;
}

namespace {

bool insertLine(QSqlQuery& q, const RunEntry& run) {
    const auto columns = runColumns(run);
    QStringList names, marks;
    for (const auto& c : columns) {
        names << c.first;
        marks << "?";
    }
    q.prepare("INSERT INTO runs (" + names.join(", ") + ") VALUES (" + marks.join(", ") + ")");
    for (const auto& c : columns) q.addBindValue(c.second);
    return q.exec();
}

}  // namespace

bool RunDatabase::writeRunLine(const RunEntry& run) {
    if (!open_) return fail("write", "no database");
    QSqlDatabase db = connection();
    if (!db.transaction()) return fail("begin", db.lastError().text());
    QSqlQuery q(db);
    q.prepare("DELETE FROM runs WHERE run_id = ? AND NOT EXISTS (SELECT 1 FROM run_rows WHERE run_id = ?)");
    q.addBindValue(run.runId);
    q.addBindValue(run.runId);
    if (!q.exec() || !insertLine(q, run)) {
        fail("run " + run.runId, q.lastError().text());
        db.rollback();
        return false;
    }
    return db.commit() || fail("commit", db.lastError().text());
}

bool RunDatabase::writeRun(const RunEntry& run) {
    if (!open_) return fail("write", "no database");
    QSqlDatabase db = connection();
    if (!db.transaction()) return fail("begin", db.lastError().text());
    QSqlQuery q(db);
    auto failed = [&](const QString& what) {
        fail(what, q.lastError().text());
        db.rollback();
        return false;
    };
    for (const char* table : {"run_rows", "runs"}) {
        q.prepare(QString("DELETE FROM %1 WHERE run_id = ?").arg(table));
        q.addBindValue(run.runId);
        if (!q.exec()) return failed("run " + run.runId);
    }
    if (!insertLine(q, run)) return failed("run " + run.runId);
    QSqlQuery rows(db);
    rows.prepare("INSERT INTO run_rows (run_id, seq, elapsed_s, board_c, profile_c, upper_heater, lower_heater, fan, "
                 "machine_mode, state, event) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (std::size_t i = 0; i < run.rows.size(); ++i) {
        const RunSample& s = run.rows[i];
        rows.bindValue(0, run.runId);
        rows.bindValue(1, int(i));
        rows.bindValue(2, s.elapsedS);
        rows.bindValue(3, optionalNumber(s.boardC));
        rows.bindValue(4, optionalNumber(s.profileC));
        rows.bindValue(5, s.upperHeater);
        rows.bindValue(6, s.lowerHeater);
        rows.bindValue(7, int(s.fan));
        rows.bindValue(8, s.machineMode);
        rows.bindValue(9, s.state);
        rows.bindValue(10, s.event);
        if (!rows.exec()) {
            fail("rows of run " + run.runId, rows.lastError().text());
            db.rollback();
            return false;
        }
    }
    if (onRunWritten_ && !onRunWritten_(db, run)) return failed("queue of run " + run.runId);
    if (!db.commit()) return failed("commit");
    return true;
}

std::optional<RunEntry> RunDatabase::run(const QString& runId) const {
    if (!open_) return std::nullopt;
    QSqlQuery q(connection());
    q.prepare("SELECT * FROM runs WHERE run_id = ?");
    q.addBindValue(runId);
    if (!q.exec() || !q.next()) return std::nullopt;
    RunEntry r = runFromRecord(q.record());
    r.rows = rows(runId);
    return r;
}

std::vector<RunSample> RunDatabase::rows(const QString& runId) const {
    if (!open_) return {};
    return readRows(connection(), runId, &lastError_);
}

std::vector<RunSample> readRows(const QSqlDatabase& db, const QString& runId, QString* error) {
    std::vector<RunSample> out;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare("SELECT elapsed_s, board_c, profile_c, upper_heater, lower_heater, fan, machine_mode, state, event "
              "FROM run_rows WHERE run_id = ? ORDER BY seq");
    q.addBindValue(runId);
    if (!q.exec()) {
        if (error) *error = q.lastError().text();
        return out;
    }
    auto number = [&q](int i) { return q.isNull(i) ? std::nullopt : std::optional<double>(q.value(i).toDouble()); };
    while (q.next()) {
        RunSample s;
        s.elapsedS = q.value(0).toDouble();
        s.boardC = number(1);
        s.profileC = number(2);
        s.upperHeater = q.value(3).toString();
        s.lowerHeater = q.value(4).toString();
        s.fan = q.value(5).toInt() != 0;
        s.machineMode = q.value(6).toString();
        s.state = q.value(7).toInt();
        s.event = q.value(8).toString();
        out.push_back(std::move(s));
    }
    return out;
}

QSet<QString> RunDatabase::knownRecordFiles() const {
    QSet<QString> known;
    if (!open_) return known;
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (q.exec("SELECT csv_file FROM runs WHERE outcome <> 'running'"))
        while (q.next()) known.insert(QFileInfo(q.value(0).toString()).fileName());
    return known;
}

QStringList RunDatabase::unfinishedRuns() const {
    QStringList ids;
    if (!open_) return ids;
    QSqlQuery q(connection());
    if (q.exec("SELECT run_id FROM runs WHERE outcome = 'running'"))
        while (q.next()) ids << q.value(0).toString();
    return ids;
}

int RunDatabase::runCount() const {
    QSqlQuery q(connection());
    return open_ && q.exec("SELECT COUNT(*) FROM runs") && q.next() ? q.value(0).toInt() : 0;
}

}  // namespace history

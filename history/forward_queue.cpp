#include "history/forward_queue.h"

#include "history/run_columns.h"
#include "history/run_database.h"

#include <QDateTime>
#include <QSqlQuery>

namespace history {

bool ForwardQueue::ensureTable() {
    if (!local_.isOpen()) return false;
    QSqlQuery q(local_.connection());
    return q.exec(
               "CREATE TABLE IF NOT EXISTS forward_queue (run_id TEXT NOT NULL PRIMARY KEY, queued_utc TEXT NOT NULL)") &&
           q.exec("CREATE TABLE IF NOT EXISTS forward_targets (address TEXT NOT NULL PRIMARY KEY, first_utc TEXT NOT NULL)");
}

bool ForwardQueue::queueEarlierRuns(const QString& address) {
    QSqlDatabase db = local_.connection();
    QSqlQuery q(db);
    q.prepare("SELECT 1 FROM forward_targets WHERE address = ?");
    q.addBindValue(address);
    if (!q.exec()) return false;
    if (q.next()) return true;
    if (!db.transaction()) return false;
    const QString now = utcText(QDateTime::currentDateTimeUtc());
    q.prepare("INSERT OR IGNORE INTO forward_queue (run_id, queued_utc) "
              "SELECT run_id, ? FROM runs WHERE outcome <> 'running' ORDER BY started_utc");
    q.addBindValue(now);
    const bool queued = q.exec();
    q.prepare("INSERT INTO forward_targets (address, first_utc) VALUES (?, ?)");
    q.addBindValue(address);
    q.addBindValue(now);
    if (queued && q.exec() && db.commit()) return true;
    db.rollback();
    return false;
}

bool ForwardQueue::add(QSqlDatabase& db, const QString& runId) {
    QSqlQuery q(db);
    q.prepare("INSERT OR IGNORE INTO forward_queue (run_id, queued_utc) VALUES (?, ?)");
    q.addBindValue(runId);
    q.addBindValue(utcText(QDateTime::currentDateTimeUtc()));
    return q.exec();
}

QStringList ForwardQueue::next(int count, const QStringList& skip) const {
    QStringList ids;
    QSqlQuery q(local_.connection());
    q.setForwardOnly(true);
    q.prepare("SELECT run_id FROM forward_queue ORDER BY queued_utc, rowid LIMIT ?");
    q.addBindValue(count + int(skip.size()));
    if (q.exec())
        while (q.next() && ids.size() < count)
            if (const QString id = q.value(0).toString(); !skip.contains(id)) ids << id;
    return ids;
}

bool ForwardQueue::remove(const QString& runId) {
    QSqlQuery q(local_.connection());
    q.prepare("DELETE FROM forward_queue WHERE run_id = ?");
    q.addBindValue(runId);
    return q.exec();
}

int ForwardQueue::count() const {
    QSqlQuery q(local_.connection());
    return local_.isOpen() && q.exec("SELECT COUNT(*) FROM forward_queue") && q.next() ? q.value(0).toInt() : 0;
}

QString waitingText(int runs) {
    if (runs <= 0) return {};
    if (runs == 1) return "1 run waits for the shop database";
    return QString("%1 runs wait for the shop database").arg(runs);
}

}  // namespace history

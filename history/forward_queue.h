#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace history {

class RunDatabase;

// The runs that wait for the shop database, kept in the local runs database so that they
// survive a restart. A run is queued in the same transaction that writes it locally; it
// leaves the queue when the shop database has it.
class ForwardQueue {
public:
    explicit ForwardQueue(RunDatabase& local) : local_(local) {}

    // Makes the queue's table when missing. False when the local database is not open or
    // the table cannot be made.
    bool ensureTable();
    // The first time runs are forwarded to this address, the finished runs kept before are
    // queued too (the server keeps a run it holds as it is, so none lands twice).
    bool queueEarlierRuns(const QString& address);
    // Queues a run inside a transaction the caller holds.
    static bool add(QSqlDatabase& db, const QString& runId);

    // The oldest queued runs first, leaving out those in `skip`.
    QStringList next(int count, const QStringList& skip = {}) const;
    bool remove(const QString& runId);
    int count() const;

private:
    RunDatabase& local_;
};

// "3 runs wait for the shop database"; empty when none does.
QString waitingText(int runs);

}  // namespace history

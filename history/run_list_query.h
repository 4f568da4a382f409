#pragma once
#include "history/run_entry.h"
#include "history/shop_address.h"

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace history {

// What the history window asks for: text found in board, operator or profile, one station
// (empty: all), a time range (invalid ends: open), the newest first, at most `limit`.
struct RunListFilter {
    QString text;
    QString station;
    QDateTime from, to;
    int limit = 1000;
};

// The same query on the local SQLite file and on the shop's PostgreSQL database: the runs'
// lines without their rows. False with the reason in `error` when the query failed.
bool readRunList(const QSqlDatabase& db, const RunListFilter& filter, std::vector<RunEntry>& runs, QString* error);
// The stations the database knows, for the station filter.
QStringList stationsIn(const QSqlDatabase& db);

// The shop's runs, read on a thread of their own so that a server that does not answer
// never holds the window. The answer comes on `context`'s thread: the runs, or nothing and
// the notice to show over the local runs the window falls back to.
struct ShopRunList {
    bool reached = false;
    std::vector<RunEntry> runs;
    QStringList stations;
    QString notice;  // empty when reached
};
void readShopRuns(const ShopAddress& address, const RunListFilter& filter, QObject* context,
                  std::function<void(const ShopRunList& list)> answer);

}  // namespace history

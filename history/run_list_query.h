#pragma once
#include "history/run_entry.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

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

}  // namespace history

#include "history/run_list_query.h"

#include "history/run_columns.h"

#include <QSqlError>
#include <QSqlQuery>


namespace history {

bool readRunList(const QSqlDatabase& db, const RunListFilter& f, std::vector<RunEntry>& runs, QString* error) {
    QStringList where;
    QVariantList binds;
    if (!f.text.trimmed().isEmpty()) {
        where << "(LOWER(board) LIKE ? OR LOWER(operator_name) LIKE ? OR LOWER(profile_name) LIKE ?)";
        const QString like = "%" + f.text.trimmed().toLower() + "%";
        binds << like << like << like;
    }
    if (!f.station.isEmpty()) where << "station = ?", binds << f.station;
    if (f.from.isValid()) where << "started_utc >= ?", binds << utcText(f.from);
    if (f.to.isValid()) where << "started_utc < ?", binds << utcText(f.to);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const bool prepared =
        q.prepare("SELECT * FROM runs" + (where.isEmpty() ? QString() : " WHERE " + where.join(" AND ")) +
                  " ORDER BY started_utc DESC LIMIT " + QString::number(std::max(1, f.limit)));
    for (const QVariant& v : binds) q.addBindValue(v);
    if (!prepared || !q.exec()) {
        if (error) *error = q.lastError().text();
        return false;
    }
    runs.clear();
    while (q.next()) runs.push_back(runFromRecord(q.record()));
    return true;
}

}  // namespace history

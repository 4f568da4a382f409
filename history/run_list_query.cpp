#include "history/run_list_query.h"

#include "history/run_columns.h"
#include "history/shop_connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <memory>

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

QStringList stationsIn(const QSqlDatabase& db) {
    QStringList names;
    QSqlQuery q(db);
    if (q.exec("SELECT DISTINCT station FROM runs WHERE station IS NOT NULL AND station <> '' ORDER BY station"))
        while (q.next()) names << q.value(0).toString();
    return names;
}

void readShopRuns(const ShopAddress& address, const RunListFilter& filter, QObject* context,
                  std::function<void(const ShopRunList& list)> answer) {
    auto list = std::make_shared<ShopRunList>();
    QThread* thread = QThread::create([address, filter, list] {
        ShopConnection shop(address);
        ShopAnswer a = shop.open();
        QString error;
        if (a.ok() && readRunList(shop.connection(), filter, list->runs, &error)) {
            list->reached = true;
            list->stations = stationsIn(shop.connection());
            return;
        }
        if (a.ok()) a = {classifyShopError(error), error};
        list->runs.clear();
        list->notice = plainWords(address, a) + " These are this PC's runs.";
    });
    // finished comes queued to the context's thread, and not at all once the context is gone.
    QObject::connect(thread, &QThread::finished, context, [answer, list] { answer(*list); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

}  // namespace history

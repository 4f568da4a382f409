#include "history/shop_mirror.h"

#include "history/run_columns.h"
#include "history/run_list_query.h"
#include "history/shop_connection.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <memory>

namespace history {

namespace {

ShopAnswer trouble(const QString& text) { return {classifyShopError(text), text}; }

// The newest start the file holds, or an invalid time when it holds none.
QDateTime newestStart(const RunDatabase& mirror) {
    QSqlQuery q(mirror.connection());
    return q.exec("SELECT MAX(started_utc) FROM runs") && q.next() && !q.isNull(0) ? fromUtcText(q.value(0).toString())
                                                                                    : QDateTime();
}

// The lines in one transaction: runs the file lacks are added (a run on the server never
// changes once it is there); after a whole reading, runs the server no longer lists go.
bool keepLines(RunDatabase& mirror, const std::vector<RunEntry>& runs, bool whole, QString* error) {
    QSqlDatabase db = mirror.connection();
    if (!db.transaction()) return *error = db.lastError().text(), false;
    QSqlQuery q(db);
    auto failed = [&] {
        *error = q.lastError().text();
        db.rollback();
        return false;
    };
    if (whole) {
        QSet<QString> listed;
        for (const RunEntry& r : runs) listed.insert(r.runId);
        QStringList gone;
        if (!q.exec("SELECT run_id FROM runs")) return failed();
        while (q.next())
            if (!listed.contains(q.value(0).toString())) gone << q.value(0).toString();
        for (const QString& id : gone)
            for (const char* table : {"run_rows", "runs"}) {
                q.prepare(QString("DELETE FROM %1 WHERE run_id = ?").arg(table));
                q.addBindValue(id);
                if (!q.exec()) return failed();
            }
    }
    for (const RunEntry& run : runs) {
        const auto columns = runColumns(run);
        QStringList names, marks;
        for (const auto& c : columns) names << c.first, marks << "?";
        q.prepare("INSERT OR IGNORE INTO runs (" + names.join(", ") + ") VALUES (" + marks.join(", ") + ")");
        for (const auto& c : columns) q.addBindValue(c.second);
        if (!q.exec()) return failed();
    }
    return db.commit() || (*error = db.lastError().text(), false);
}

// What a copy on the thread came to: the server's answer, or the mirror file's trouble.
ShopAnswer copyLines(const ShopAddress& address, const QString& path, bool whole) {
    ShopConnection shop(address);
    ShopAnswer answer = shop.open();
    if (!answer.ok()) return answer;
    if (shop.ensureSchema() < 0) return shop.lastAnswer();
    RunDatabase mirror;
    if (!mirror.open(path)) return {ShopFailure::Other, mirror.problem()};
    RunListFilter filter;
    filter.limit = ShopMirror::kMostRuns;
    const QDateTime newest = whole ? QDateTime() : newestStart(mirror);
    if (newest.isValid()) filter.from = newest.addDays(-ShopMirror::kOverlapDays);
    std::vector<RunEntry> runs;
    QString error;
    if (!readRunList(shop.connection(), filter, runs, &error)) return trouble(error);
    if (!keepLines(mirror, runs, whole && int(runs.size()) < ShopMirror::kMostRuns, &error))
        return {ShopFailure::Other, "the copy of the shop's runs on this PC: " + error};
    return {};
}

ShopAnswer copyRows(const ShopAddress& address, const QString& path, const QStringList& runIds) {
    RunDatabase mirror;
    if (!mirror.open(path)) return {ShopFailure::Other, mirror.problem()};
    QStringList lacking;
    for (const QString& id : runIds)
        if (mirror.rows(id).empty()) lacking << id;
    if (lacking.isEmpty()) return {};
    ShopConnection shop(address);
    const ShopAnswer answer = shop.open();
    if (!answer.ok()) return answer;
    for (const QString& id : lacking) {
        std::optional<RunEntry> run = mirror.run(id);
        if (!run) continue;  // gone from the list meanwhile
        QString error;
        run->rows = readRows(shop.connection(), id, &error);
        if (!error.isEmpty()) return trouble(error);
        if (!mirror.writeRun(*run)) return {ShopFailure::Other, mirror.lastError()};
    }
    return {};
}

}  // namespace

ShopMirror::ShopMirror(ShopAddress address, QString path)
    : address_(std::move(address)), path_(std::move(path)),
      notice_("Reading the shop database's runs; until then these are this PC's runs.") {}

ShopMirror::~ShopMirror() {
    // A copy still under way ends by itself: it holds nothing of this object.
    if (thread_) thread_->disconnect(this);
}

bool ShopMirror::open() { return mirror_.isOpen() || mirror_.open(path_); }

void ShopMirror::refresh() {
    for (const Job& j : jobs_)
        if (j.rowsOf.isEmpty()) return;
    jobs_.push_back({});
    runNext();
}

void ShopMirror::fetchRows(const QStringList& runIds, std::function<void(const QString& error)> done) {
    jobs_.push_back({runIds, std::move(done)});
    runNext();
}

void ShopMirror::runNext() {
    if (thread_ || jobs_.empty()) return;
    const Job job = jobs_.front();
    jobs_.pop_front();
    auto answer = std::make_shared<ShopAnswer>();
    const bool whole = !wholeRead_;
    thread_ = QThread::create([address = address_, path = path_, ids = job.rowsOf, whole, answer] {
        *answer = ids.isEmpty() ? copyLines(address, path, whole) : copyRows(address, path, ids);
    });
    thread_->setObjectName("shop runs copy");
    connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
    // Comes queued to this thread, and not at all once this object is gone.
    connect(thread_, &QThread::finished, this, [this, job, answer] {
        thread_ = nullptr;
        const QString words = answer->ok() ? QString() : plainWords(address_, *answer);
        if (job.rowsOf.isEmpty()) {
            reached_ = answer->ok();
            wholeRead_ = wholeRead_ || reached_;
            notice_ = reached_ ? QString() : words + " These are this PC's runs.";
            emit refreshed();
        } else if (job.done) {
            job.done(words);
        }
        runNext();
    });
    thread_->start();
}

}  // namespace history

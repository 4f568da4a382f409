#include "history/shop_connection.h"

#include "history/run_columns.h"
#include "history/run_database.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

namespace history {

ShopFailure classifyShopError(const QString& text) {
    const QString t = text.toLower();
    if (t.contains("password authentication failed") || t.contains("no password supplied") ||
        t.contains("authentication failed"))
        return ShopFailure::Password;
    if (t.contains("database \"") && t.contains("does not exist")) return ShopFailure::NoDatabase;
    for (const char* gone : {"timeout expired", "connection refused", "could not connect", "could not translate host",
                             "no route to host", "network is unreachable", "server closed the connection",
                             "no connection to the server", "terminating connection", "connection timed out",
                             "connection reset", "broken pipe", "the database system is starting up",
                             "the database system is shutting down", "lost synchronization", "eof detected"})
        if (t.contains(gone)) return ShopFailure::Unreachable;
    return ShopFailure::Other;
}

QString plainWords(const ShopAddress& a, const ShopAnswer& answer) {
    const QString where = QString("%1:%2").arg(a.host).arg(a.port);
    switch (answer.failure) {
    case ShopFailure::None:
        return QString("Reached the shop database %1 on %2 as %3.").arg(a.database, where, a.user);
    case ShopFailure::Password:
        return QString("The shop database on %1 refused the password for %2: put the right one in the password "
                       "file (~/.pgpass) on this PC.")
            .arg(where, a.user);
    case ShopFailure::NoDatabase:
        return QString("The server %1 has no database named %2.").arg(where, a.database);
    case ShopFailure::Unreachable:
        return QString("The shop database on %1 was not reachable within %2 s.").arg(where).arg(ShopConnection::kTimeoutS);
    case ShopFailure::Other:
        break;
    }
    return QString("The shop database on %1 answered: %2").arg(where, answer.detail.simplified());
}

ShopConnection::ShopConnection(ShopAddress address, int timeoutS)
    : address_(std::move(address)), timeoutS_(timeoutS), name_("shop-" + newRunId()) {}

ShopConnection::~ShopConnection() { close(); }

QSqlDatabase ShopConnection::connection() const { return QSqlDatabase::database(name_, false); }

bool ShopConnection::isOpen() const { return QSqlDatabase::contains(name_) && connection().isOpen(); }

void ShopConnection::close() {
    if (!QSqlDatabase::contains(name_)) return;
    {
        QSqlDatabase db = connection();
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

ShopAnswer ShopConnection::failed(const QString& text) {
    last_ = {classifyShopError(text), text};
    return last_;
}

ShopAnswer ShopConnection::open() {
    close();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name_);
        if (!db.isValid()) {
            error = "Qt's PostgreSQL driver (QPSQL) is not installed";
        } else {
            db.setHostName(address_.host);
            db.setPort(address_.port);
            db.setDatabaseName(address_.database);
            db.setUserName(address_.user);
            // A dead server is noticed by keepalives and the send timeout instead of the
            // system's TCP timeouts of many minutes.
            db.setConnectOptions(
                QString("connect_timeout=%1;keepalives_idle=5;keepalives_interval=2;keepalives_count=2;"
                        "tcp_user_timeout=%2;application_name=kr9300;options='-c client_min_messages=warning'")
                    .arg(timeoutS_)
                    .arg(timeoutS_ * 2000));
            if (!db.open()) {
                const QSqlError e = db.lastError();
                error = e.databaseText().isEmpty() ? e.text() : e.databaseText();
            }
        }
    }
    if (error.isEmpty()) return last_ = {};
    close();
    return failed(error);
}

int ShopConnection::ensureSchema(int upToVersion) {
    QSqlDatabase db = connection();
    const SqlTypes types = typesFor(Dialect::PostgreSQL);
    QSqlQuery q(db);
    auto fail = [&](const QString& what) {
        failed(what + ": " + q.lastError().text());
        db.rollback();
        return -1;
    };
    if (!db.transaction()) return failed(db.lastError().text()), -1;
    if (!q.exec(QString("SELECT pg_advisory_xact_lock(%1)").arg(kSchemaLock))) return fail("schema lock");
    if (!q.exec(schemaVersionTable(types))) return fail("schema_version");
    if (!q.exec("SELECT COALESCE(MAX(version), 0) FROM schema_version") || !q.next()) return fail("schema_version");
    const int current = q.value(0).toInt();
    int applied = 0;
    for (const Migration& m : migrations()) {
        if (m.version <= current || m.version > upToVersion) continue;
        for (const QString& statement : m.statements(types))
            if (!q.exec(statement)) return fail(QString("schema version %1 (%2)").arg(m.version).arg(m.what));
        q.prepare("INSERT INTO schema_version (version, applied_utc) VALUES (?, ?)");
        q.addBindValue(m.version);
        q.addBindValue(utcText(QDateTime::currentDateTimeUtc()));
        if (!q.exec()) return fail(QString("schema version %1").arg(m.version));
        ++applied;
    }
    if (!db.commit()) return fail("commit");
    last_ = {};
    return applied;
}

namespace {

constexpr int kRowsPerStatement = 100;
constexpr int kRowColumns = 11;

QString rowsStatement(int rows) {
    QString marks = "(" + QString("?, ").repeated(kRowColumns - 1) + "?)";
    QStringList all;
    for (int i = 0; i < rows; ++i) all << marks;
    return "INSERT INTO run_rows (run_id, seq, elapsed_s, board_c, profile_c, upper_heater, lower_heater, fan, "
           "machine_mode, state, event) VALUES " +
           all.join(", ");
}

QVariant optionalNumber(const std::optional<double>& v) {
    return v ? QVariant(*v) : QVariant(QMetaType::fromType<double>());
}

}  // namespace

// Many rows to a statement: one round trip per hundred rows instead of one per row.
bool ShopConnection::insertRows(const RunEntry& run) {
    QSqlDatabase db = connection();
    QSqlQuery full(db), rest(db);
    const int count = int(run.rows.size());
    if (count >= kRowsPerStatement && !full.prepare(rowsStatement(kRowsPerStatement))) return false;
    for (int first = 0; first < count; first += kRowsPerStatement) {
        const int n = std::min(kRowsPerStatement, count - first);
        QSqlQuery& q = n == kRowsPerStatement ? full : rest;
        if (n < kRowsPerStatement && !q.prepare(rowsStatement(n))) return false;
        int at = 0;
        for (int i = first; i < first + n; ++i) {
            const RunSample& s = run.rows[std::size_t(i)];
            for (const QVariant& v : {QVariant(run.runId), QVariant(i), QVariant(s.elapsedS), optionalNumber(s.boardC),
                                      optionalNumber(s.profileC), QVariant(s.upperHeater), QVariant(s.lowerHeater),
                                      QVariant(int(s.fan)), QVariant(s.machineMode), QVariant(s.state),
                                      QVariant(s.event)})
                q.bindValue(at++, v);
        }
        if (!q.exec()) {
            failed("rows of run " + run.runId + ": " + q.lastError().text());
            return false;
        }
    }
    return true;
}

ShopConnection::Sent ShopConnection::send(const RunEntry& run, const QString& station) {
    QSqlDatabase db = connection();
    if (!db.isOpen()) return failed("no connection to the server"), Sent::Failed;
    if (!db.transaction()) return failed(db.lastError().text()), Sent::Failed;
    RunEntry line = run;
    if (line.station.isEmpty()) line.station = station;
    line.rows.clear();
    const auto columns = runColumns(line);
    QStringList names, marks;
    for (const auto& c : columns) {
        names << c.first;
        marks << "?";
    }
    QSqlQuery q(db);
    q.prepare("INSERT INTO runs (" + names.join(", ") + ") VALUES (" + marks.join(", ") +
              ") ON CONFLICT (run_id) DO NOTHING");
    for (const auto& c : columns) q.addBindValue(c.second);
    if (!q.exec()) {
        failed("run " + run.runId + ": " + q.lastError().text());
        db.rollback();
        return Sent::Failed;
    }
    if (q.numRowsAffected() == 0) {  // sent before: the first one stands
        db.rollback();
        last_ = {};
        return Sent::AlreadyThere;
    }
    if (!insertRows(run)) {
        db.rollback();
        return Sent::Failed;
    }
    if (!db.commit()) {
        failed("commit of run " + run.runId + ": " + db.lastError().text());
        db.rollback();
        return Sent::Failed;
    }
    last_ = {};
    return Sent::Stored;
}

}  // namespace history

#pragma once
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <optional>

namespace testing_pg {

// A PostgreSQL server of the test's own: initdb and pg_ctl in a temporary folder, run as an
// unprivileged user (nobody, when the tests run as root, since initdb refuses root), TCP on
// a free loopback port only, password logins (scram) for every role. Stopped and removed
// at the end.
class PgServer {
public:
    static constexpr const char* kAdmin = "kr_admin";
    static constexpr const char* kAdminPassword = "admin-secret";

    PgServer() = default;
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // initdb and the first start; false with the reason in why(). `durable` keeps the
    // server's own flushing to disk (benchmarks); tests go without it.
    bool start(bool durable = false);
    bool stop();
    bool startAgain();  // the same data, the same port
    bool running() const { return running_; }

    QString host() const { return "127.0.0.1"; }
    int port() const { return port_; }
    QString why() const { return why_; }
    QString folder() const { return dir_ ? dir_->path() : QString(); }

    // SQL as the superuser, in `database`; false with the reason in why().
    bool exec(const QString& sql, const QString& database = "postgres");
    // A login role with a password and a database it owns.
    bool addRoleAndDatabase(const QString& role, const QString& password, const QString& database);
    // A single number from a query (-1 when it failed).
    long long number(const QString& sql, const QString& database);

private:
    std::optional<QVariant> query(const QString& sql, const QString& database);
    bool run(const QString& program, const QStringList& arguments, int timeoutMs);
    QString binary(const QString& name) const;

    std::unique_ptr<QTemporaryDir> dir_;
    QString bin_, data_;
    int port_ = 0;
    bool running_ = false;
    bool durable_ = false;
    QString why_;
};

// The password file the tests point PGPASSFILE at, with one line for `role` (mode 0600,
// which the client library insists on).
bool writePasswordFile(const QString& path, const PgServer& server, const QString& role, const QString& password);

}  // namespace testing_pg

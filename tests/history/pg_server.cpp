#include "tests/history/pg_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing_pg {

namespace {

constexpr const char* kUnprivileged = "nobody";

// A port nobody listens on now: the system's pick for a socket bound to port 0.
int freeLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

// The newest installed server's binaries (Debian keeps them out of PATH).
QString serverBinaries() {
    const QDir root("/usr/lib/postgresql");
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions)
        if (QFile::exists(root.filePath(v + "/bin/initdb"))) return root.filePath(v + "/bin");
    return {};
}

}  // namespace

PgServer::~PgServer() { stop(); }

QString PgServer::binary(const QString& name) const { return bin_ + "/" + name; }

// Runs a server program, as the unprivileged user when we are root.
bool PgServer::run(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (::geteuid() == 0)
        p.start("runuser", QStringList{"-u", kUnprivileged, "--", program} + arguments);
    else
        p.start(program, arguments);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        why_ = QFileInfo(program).fileName() + " failed: " + QString::fromLocal8Bit(p.readAll()).trimmed() + " " +
               p.errorString();
        if (p.state() != QProcess::NotRunning) p.kill(), p.waitForFinished(1000);
        return false;
    }
    return true;
}

bool PgServer::start(bool durable) {
    durable_ = durable;
    bin_ = serverBinaries();
    if (bin_.isEmpty()) {
        why_ = "no PostgreSQL server binaries under /usr/lib/postgresql (scripts/install-deps installs them)";
        return false;
    }
    dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/kr-pg-XXXXXX");
    if (!dir_->isValid()) return why_ = "no temporary folder", false;
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam(kUnprivileged);
        if (!pw || ::chown(QFile::encodeName(dir_->path()).constData(), pw->pw_uid, pw->pw_gid) != 0)
            return why_ = "cannot hand the temporary folder to the user nobody", false;
    }
    data_ = dir_->filePath("data");
    const QString pwfile = dir_->filePath("admin-password");
    {
        QFile f(pwfile);
        if (!f.open(QIODevice::WriteOnly) || f.write(kAdminPassword) < 0) return why_ = "cannot write " + pwfile, false;
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    }
    if (!run(binary("initdb"), {"-D", data_, "-U", kAdmin, "--pwfile=" + pwfile, "--auth-host=scram-sha-256",
                                "--auth-local=scram-sha-256", "-E", "UTF8", "--locale=C", "--no-sync"},
             60000))
        return false;
    port_ = freeLoopbackPort();
    return startAgain();
}

bool PgServer::startAgain() {
    if (running_) return true;
    QString options = QString("-p %1 -c listen_addresses=127.0.0.1 -c unix_socket_directories=''").arg(port_);
    if (!durable_) options += " -c fsync=off -c synchronous_commit=off -c full_page_writes=off";
    if (!run(binary("pg_ctl"), {"-D", data_, "-l", dir_->filePath("server.log"), "-o", options, "-w", "-t", "30", "start"},
             40000))
        return false;
    return running_ = true;
}

bool PgServer::stop() {
    if (!running_) return true;
    running_ = false;
    return run(binary("pg_ctl"), {"-D", data_, "-m", "fast", "-w", "-t", "30", "stop"}, 40000);
}

// One statement as the superuser; the first value of its first row.
std::optional<QVariant> PgServer::query(const QString& sql, const QString& database) {
    const QString name = "pg-admin-" + QUuid::createUuid().toString();
    std::optional<QVariant> value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name);
        db.setHostName(host());
        db.setPort(port_);
        db.setDatabaseName(database);
        db.setUserName(kAdmin);
        db.setPassword(kAdminPassword);
        QSqlQuery q(db);
        if (db.open() && q.exec(sql)) value = q.next() ? q.value(0) : QVariant();
        else why_ = q.lastError().text() + db.lastError().text();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

bool PgServer::exec(const QString& sql, const QString& database) { return query(sql, database).has_value(); }

long long PgServer::number(const QString& sql, const QString& database) {
    const std::optional<QVariant> v = query(sql, database);
    return v && v->isValid() ? v->toLongLong() : -1;
}

bool PgServer::addRoleAndDatabase(const QString& role, const QString& password, const QString& database) {
    return exec(QString("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(role, password)) &&
           exec(QString("CREATE DATABASE %1 OWNER %2").arg(database, role));
}

bool writePasswordFile(const QString& path, const PgServer& server, const QString& role, const QString& password) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    f.write(QString("%1:%2:*:%3:%4\n").arg(server.host()).arg(server.port()).arg(role, password).toUtf8());
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace testing_pg

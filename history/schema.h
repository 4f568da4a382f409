#pragma once
#include <QString>
#include <QStringList>

#include <vector>

namespace history {

// The column types of one SQL server, mapped in this one place so that the same schema and
// statements serve the embedded SQLite file and a shop's PostgreSQL server.
struct SqlTypes {
    QString id;         // a run's UUID
    QString text;
    QString integer;
    QString real;
    QString timestamp;  // UTC, written as ISO 8601 text
};

enum class Dialect { SQLite, PostgreSQL };
SqlTypes typesFor(Dialect dialect);
// The dialect of a Qt Sql driver name ("QSQLITE", "QPSQL").
Dialect dialectOf(const QString& driverName);

// One step of the schema: the version it makes and its statements. Steps only go forward;
// a database is brought from its version to the newest by running every later step in
// order, each in its own transaction together with its line in schema_version.
struct Migration {
    int version;
    QString what;
    QStringList (*statements)(const SqlTypes& types);
};
const std::vector<Migration>& migrations();
int newestSchemaVersion();

// The table that says which steps a database has had.
QString schemaVersionTable(const SqlTypes& types);

}  // namespace history

#include "history/schema.h"

namespace history {

SqlTypes typesFor(Dialect dialect) {
    if (dialect == Dialect::PostgreSQL) return {"UUID", "TEXT", "INTEGER", "DOUBLE PRECISION", "TIMESTAMPTZ"};
    return {"TEXT", "TEXT", "INTEGER", "REAL", "TEXT"};
}

Dialect dialectOf(const QString& driverName) {
    return driverName.startsWith("QPSQL") ? Dialect::PostgreSQL : Dialect::SQLite;
}

QString schemaVersionTable(const SqlTypes& t) {
    return QString("CREATE TABLE IF NOT EXISTS schema_version (version %1 NOT NULL PRIMARY KEY, applied_utc %2 NOT NULL)")
        .arg(t.integer, t.timestamp);
}

namespace {

// The runs and their rows: who, which board, which profile, how it ended, the record's files.
QStringList runsAndRows(const SqlTypes& t) {
    QString points;
    for (int p = 1; p <= 3; ++p)
        points += QString("x%1_c %2, x%1_message %3, x%1_lower %3, x%1_upper %3, x%1_fan %2, x%1_mode %3, ")
                      .arg(p)
                      .arg(t.integer, t.text);
    return {
        QString("CREATE TABLE runs (run_id %1 NOT NULL PRIMARY KEY, started_utc %2 NOT NULL, started_local %3, "
                "station_id %3, firmware %3, program_version %3, profile_name %3, ")
                .arg(t.id, t.timestamp, t.text) +
            points +
            QString("alloy %1, paste %1, board %1, operator_name %1, outcome %1 NOT NULL, outcome_detail %1, "
                    "peak_c %2, above_liquidus_s %2, length_s %2, x1_reached_s %2, x2_reached_s %2, x3_reached_s %2, "
                    "csv_file %1, txt_file %1, png_file %1)")
                .arg(t.text, t.real),
        QString("CREATE TABLE run_rows (run_id %1 NOT NULL REFERENCES runs (run_id), seq %2 NOT NULL, "
                "elapsed_s %3 NOT NULL, board_c %3, profile_c %3, upper_heater %4, lower_heater %4, fan %2, "
                "machine_mode %4, state %2, event %4, PRIMARY KEY (run_id, seq))")
            .arg(t.id, t.integer, t.real, t.text),
    };
}

// The verdict against the paste window and the seven statistics it judged.
QStringList verdictColumns(const SqlTypes& t) {
    QStringList l;
    for (const char* c : {"verdict", "verdict_line"})
        l << QString("ALTER TABLE runs ADD COLUMN %1 %2").arg(c, t.text);
    for (const char* c : {"pwi", "heating_slope", "soak_s", "tal_s", "figure_peak_c", "near_peak_s", "cooling_slope",
                          "time_to_peak_s"})
        l << QString("ALTER TABLE runs ADD COLUMN %1 %2").arg(c, t.real);
    return l;
}

// What the history window sorts and searches by, and the import's look-up by file.
QStringList searchIndexes(const SqlTypes&) {
    return {"CREATE INDEX runs_started ON runs (started_utc)", "CREATE INDEX runs_board ON runs (board)",
            "CREATE INDEX runs_profile ON runs (profile_name)", "CREATE INDEX runs_csv ON runs (csv_file)",
            "CREATE INDEX runs_outcome ON runs (outcome)"};
}

// The bench a run was made on: a shop's benches share one database.
QStringList stationColumn(const SqlTypes& t) {
    return {QString("ALTER TABLE runs ADD COLUMN station %1").arg(t.text), "CREATE INDEX runs_station ON runs (station)"};
}

}  // namespace

const std::vector<Migration>& migrations() {
    static const std::vector<Migration> list{
        {1, "runs and their rows", runsAndRows},
        {2, "the verdict and its figures", verdictColumns},
        {3, "indexes for the history window", searchIndexes},
        {4, "the bench a run was made on", stationColumn},
    };
    return list;
}

int newestSchemaVersion() { return migrations().back().version; }

}  // namespace history

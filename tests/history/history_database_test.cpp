// The runs database on a real SQLite file in a temporary folder: a run lands once with every
// field, a damaged file is set aside and a new one made, and every earlier schema is brought
// forward with its runs.
#include "history/run_columns.h"
#include "history/run_database.h"
#include "tests/history/history_samples.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using history::RunDatabase;
using history::RunEntry;

namespace {

struct Database : ::testing::Test {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(RunDatabase::kFileName); }
    QDateTime at(int day) const { return QDateTime(QDate(2026, 12, day), QTime(9, 30, 5)); }
};

void expectSameRun(const RunEntry& a, const RunEntry& b) {
    EXPECT_EQ(a.runId, b.runId);
    EXPECT_EQ(a.started, b.started);
    EXPECT_EQ(history::runColumns(a), history::runColumns(b));
    ASSERT_EQ(a.rows.size(), b.rows.size());
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        EXPECT_EQ(a.rows[i].elapsedS, b.rows[i].elapsedS);
        EXPECT_EQ(a.rows[i].boardC, b.rows[i].boardC) << "row " << i;
        EXPECT_EQ(a.rows[i].profileC, b.rows[i].profileC);
        EXPECT_EQ(a.rows[i].upperHeater + a.rows[i].lowerHeater + a.rows[i].machineMode + a.rows[i].event,
                  b.rows[i].upperHeater + b.rows[i].lowerHeater + b.rows[i].machineMode + b.rows[i].event);
        EXPECT_EQ(a.rows[i].fan, b.rows[i].fan);
        EXPECT_EQ(a.rows[i].state, b.rows[i].state);
    }
}

TEST_F(Database, ARunWrittenTwiceIsOneRunWithEveryFieldAndRow) {
    RunDatabase db;
    ASSERT_TRUE(db.open(path())) << db.problem().toStdString();
    EXPECT_TRUE(db.problem().isEmpty());
    EXPECT_EQ(db.schemaVersion(), history::newestSchemaVersion());
    RunEntry run = testsupport::sampleRun("4711", at(8));
    run.outcomeDetail = "a, \"quoted\" reason";
    run.pwi.reset();  // an empty figure stays empty
    ASSERT_TRUE(db.writeRun(run)) << db.lastError().toStdString();
    ASSERT_TRUE(db.writeRun(run));
    EXPECT_EQ(db.runCount(), 1);

    RunDatabase again;  // read back through a new connection, from the file
    ASSERT_TRUE(again.open(path()));
    const std::optional<RunEntry> back = again.run(run.runId);
    ASSERT_TRUE(back);
    expectSameRun(*back, run);
    EXPECT_FALSE(back->pwi);
    EXPECT_TRUE(again.knownRecordFiles().contains(QFileInfo(run.csvFile).fileName()));
}

TEST_F(Database, ARunStartedIsUnfinishedUntilItsEndIsWritten) {
    RunDatabase db;
    ASSERT_TRUE(db.open(path()));
    RunEntry run = testsupport::sampleRun("4711", at(8));
    run.outcome = history::outcome::kRunning;
    run.rows.clear();
    ASSERT_TRUE(db.writeRunLine(run));
    EXPECT_EQ(db.unfinishedRuns(), QStringList{run.runId});
    EXPECT_FALSE(db.knownRecordFiles().contains(QFileInfo(run.csvFile).fileName())) << "its record is not in yet";
    run = testsupport::sampleRun("4711", at(8));
    run.runId = db.unfinishedRuns().value(0);
    ASSERT_TRUE(db.writeRun(run));
    EXPECT_TRUE(db.unfinishedRuns().isEmpty());
    EXPECT_EQ(db.runCount(), 1);
}

TEST_F(Database, ADamagedFileIsSetAsideUntouchedAndANewOneMade) {
    const QByteArray junk = QByteArray("this is no database, just bytes ").repeated(200);
    testsupport::writeBytes(path(), junk);
    RunDatabase db;
    ASSERT_TRUE(db.open(path())) << db.problem().toStdString();
    ASSERT_FALSE(db.setAsidePath().isEmpty());
    EXPECT_TRUE(db.setAsidePath().startsWith(path() + RunDatabase::kAsideMark));
    QFile aside(db.setAsidePath());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), junk);
    EXPECT_TRUE(db.problem().contains(db.setAsidePath())) << db.problem().toStdString();
    EXPECT_TRUE(db.writeRun(testsupport::sampleRun("4711", at(8))));

    RunDatabase later;  // the new file is sound: no second file set aside
    ASSERT_TRUE(later.open(path()));
    EXPECT_TRUE(later.problem().isEmpty());
    EXPECT_EQ(later.runCount(), 1);
}

TEST_F(Database, NoUsableFileLeavesTheProgramWithoutHistoryAndSaysWhy) {
    testsupport::writeBytes(dir.filePath("blocked"), "a file where the folder should be");
    RunDatabase db;
    EXPECT_FALSE(db.open(dir.filePath("blocked/sub/") + RunDatabase::kFileName));
    EXPECT_TRUE(db.problem().contains("cannot be kept")) << db.problem().toStdString();
    EXPECT_FALSE(db.writeRun(testsupport::sampleRun("4711", at(8))));

    // A schema from a newer program is not ours to change, nor damaged.
    RunDatabase newer;
    ASSERT_TRUE(newer.open(path()));
    QSqlQuery(newer.connection()).exec("INSERT INTO schema_version VALUES (99, '2030-01-01T00:00:00Z')");
    newer.close();
    EXPECT_FALSE(db.open(path()));
    EXPECT_TRUE(db.setAsidePath().isEmpty());
    EXPECT_TRUE(db.problem().contains("newer program")) << db.problem().toStdString();
}

TEST_F(Database, EveryEarlierSchemaIsBroughtForwardKeepingItsRuns) {
    for (int from = 0; from < history::newestSchemaVersion(); ++from) {
        SCOPED_TRACE(from);
        const QString file = dir.filePath(QString("v%1.sqlite").arg(from));
        {
            RunDatabase old;
            ASSERT_TRUE(old.open(file, from));
            EXPECT_EQ(old.schemaVersion(), from);
            if (from >= 1) {
                ASSERT_TRUE(QSqlQuery(old.connection())
                                .exec("INSERT INTO runs (run_id, started_utc, profile_name, board, outcome) "
                                      "VALUES ('old-run', '2025-03-01T10:00:00Z', 'OLD', '0815', 'finished')"));
            }
        }
        RunDatabase db;
        ASSERT_TRUE(db.open(file)) << db.problem().toStdString();
        EXPECT_EQ(db.schemaVersion(), history::newestSchemaVersion());
        EXPECT_EQ(db.runCount(), from >= 1 ? 1 : 0);
        if (from >= 1) {
            const std::optional<RunEntry> old = db.run("old-run");
            ASSERT_TRUE(old);
            EXPECT_EQ(old->board, "0815");
            EXPECT_FALSE(old->pwi);
        }
        const RunEntry run = testsupport::sampleRun("4711", at(8));
        ASSERT_TRUE(db.writeRun(run)) << db.lastError().toStdString();
        expectSameRun(*db.run(run.runId), run);
    }
}

}  // namespace

// A whole run on virtual time against the simulated station, through the editor: it lands
// once, with who, which board, the station, the profile, its verdict, figures, files and rows.
#include "history/run_import.h"
#include "tests/history/history_rig.h"

namespace {

TEST(DatabaseScenario, ARunOnTheSimulatedStationLandsOnceWithEveryField) {
    testsupport::HistoryRig h;
    h.startProgram();
    h.openEditor();
    h.enterProfile("  4711-B  ", "Ana");
    h.runToX1();
    ASSERT_TRUE(h.reached("finish"));
    ASSERT_EQ(h.db().runCount(), 1);
    QSqlQuery q(h.db().connection());
    ASSERT_TRUE(q.exec("SELECT run_id FROM runs") && q.next());
    const RunEntry run = *h.db().run(q.value(0).toString());

    EXPECT_EQ(run.outcome, "finished");
    EXPECT_EQ(run.board, "4711-B") << "trimmed";
    EXPECT_EQ(run.operatorName, "Ana");
    EXPECT_EQ(run.stationId, h.rig->state.MachineId);
    EXPECT_FALSE(run.stationId.isEmpty());
    EXPECT_EQ(run.firmware, "7");
    EXPECT_FALSE(run.programVersion.isEmpty());
    EXPECT_EQ(run.profileName, "NORTH BRIDGE");
    EXPECT_EQ(run.points[0].celsius, 80);
    EXPECT_EQ(run.points[0].lowerHeater, "PERHEAT");
    EXPECT_EQ(run.points[2].upperHeater, "REFLOW");
    EXPECT_EQ(run.points[1].message, "POINT 2");
    EXPECT_EQ(run.alloy, "Leaded");
    EXPECT_EQ(run.paste, "Sn63Pb37");
    EXPECT_FALSE(run.verdict.isEmpty());
    EXPECT_TRUE(h.editor->panel(2).startsWith(run.verdictLine)) << "the verdict the editor showed";
    EXPECT_TRUE(run.peakC && run.pwi && run.lengthS && run.reachedS[2]);
    EXPECT_TRUE(std::all_of(run.figures.begin(), run.figures.end(), [](auto f) { return f.has_value(); }));
    EXPECT_LT(std::abs(run.started.secsTo(QDateTime::currentDateTime())), 600);
    for (const QString& file : {run.csvFile, run.txtFile, run.pngFile}) EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();

    // Its rows: the record's, up to the end of the run.
    const std::vector<history::RunSample> record = history::readRecordRows(run.csvFile).rows;
    ASSERT_GE(record.size(), run.rows.size());
    EXPECT_EQ(run.rows.back().event, "finish");
    EXPECT_EQ(run.rows.size(), std::size_t(std::find_if(record.begin(), record.end(),
                                                        [](const auto& r) { return r.event == "finish"; }) -
                                           record.begin() + 1));
    QFile txt(run.txtFile);
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    const QByteArray summary = txt.readAll();
    EXPECT_TRUE(summary.contains("board: 4711-B\r\n"));
    EXPECT_TRUE(summary.contains("operator: Ana\r\n"));
}

}  // namespace

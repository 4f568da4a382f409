// Run records brought into the history at start: a record cut short by a crash comes in as
// "interrupted", a finished one with its summary's board and operator, a run the program was
// ended under keeps its line and gets its rows; nothing comes in twice.
#include "history/run_database.h"
#include "history/run_import.h"
#include "tests/history/history_rig.h"
#include "tests/history/history_samples.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using history::RunDatabase;

namespace {

struct Import : ::testing::Test {
    QTemporaryDir dir;
    RunDatabase db;
    QString runs;
    void SetUp() override {
        ASSERT_TRUE(db.open(dir.filePath(RunDatabase::kFileName)));
        runs = dir.filePath("Runs");
        QDir().mkpath(runs);
    }
    // A record of `seconds` rows as the run wrote it, with `end` as its last event.
    QString writeRecord(const QString& stem, int seconds, const QString& end) {
        history::RunEntry run = testsupport::sampleRun("", QDateTime::currentDateTime(), seconds);
        if (!end.isEmpty()) run.rows.back().event = end;
        QStringList lines = history::recordLines(run.rows);
        const QString path = QDir(runs).filePath(stem + ".csv");
        testsupport::writeBytes(path, (lines.join("\r\n") + "\r\n").toLatin1());
        return path;
    }
    const QList<process::PasteWindow> windows = process::builtInWindows();
};

TEST_F(Import, ARecordCutShortComesInOnceAsInterrupted) {
    const QString path = writeRecord("2026-12-01_14-05-09_BGA 17", 30, QString());
    testsupport::writeBytes(path, [&] {  // the crash left half a line at the end
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll() + "30.0,21";
    }());
    const history::ImportResult first = history::importRecords(db, {runs}, windows);
    EXPECT_EQ(first.imported, 1);
    EXPECT_EQ(first.interrupted, 1);
    EXPECT_TRUE(first.failures.isEmpty());
    EXPECT_EQ(history::importRecords(db, {runs, runs}, windows).imported, 0) << "nothing comes in twice";
    ASSERT_EQ(db.runCount(), 1);

    QSqlQuery q(db.connection());
    ASSERT_TRUE(q.exec("SELECT run_id FROM runs") && q.next());
    const history::RunEntry run = *db.run(q.value(0).toString());
    EXPECT_EQ(run.outcome, "interrupted");
    EXPECT_EQ(run.profileName, "BGA 17");
    EXPECT_EQ(run.started, QDateTime(QDate(2026, 12, 1), QTime(14, 5, 9)));
    EXPECT_EQ(run.rows.size(), 30u);
    EXPECT_EQ(run.lengthS, 29);
    EXPECT_TRUE(run.verdict.isEmpty()) << "a run cut short has no verdict";
    EXPECT_TRUE(run.peakC) << "but its figures";
}

TEST_F(Import, AFinishedRecordBringsItsSummaryAndVerdictAndABadFileIsNamed) {
    const QString path = writeRecord("2026-12-02_08-00-00_NORTH BRIDGE", 300, "finish");
    testsupport::writeBytes(QDir(runs).filePath("2026-12-02_08-00-00_NORTH BRIDGE.txt"),
                            "outcome: Finished\r\nprofile: NORTH BRIDGE\r\npoints_C: X1 90, X2 150, X3 230\r\n"
                            "alloy: Lead-Free\r\nboard: 4711-A\r\noperator: Ana\r\npaste: SAC305, liquidus 217 C\r\n");
    testsupport::writeBytes(QDir(runs).filePath("notes.csv"), "shopping list\r\n");
    const history::ImportResult result = history::importRecords(db, {runs}, windows);
    EXPECT_EQ(result.imported, 1);
    EXPECT_EQ(result.interrupted, 0);
    ASSERT_EQ(result.failures.size(), 1);
    EXPECT_TRUE(result.failures[0].contains("notes.csv: not a run record"));

    QSqlQuery q(db.connection());
    ASSERT_TRUE(q.exec("SELECT run_id FROM runs") && q.next());
    const history::RunEntry run = *db.run(q.value(0).toString());
    EXPECT_EQ(run.outcome, "finished");
    EXPECT_EQ(run.board, "4711-A");
    EXPECT_EQ(run.operatorName, "Ana");
    EXPECT_EQ(run.alloy, "Lead-Free");
    EXPECT_EQ(run.paste, "SAC305");
    EXPECT_EQ(run.points[2].celsius, 230);
    EXPECT_EQ(run.reachedS[0], 40);
    EXPECT_TRUE(run.verdict == "PASS" || run.verdict == "FAIL") << run.verdictLine.toStdString();
    EXPECT_EQ(run.txtFile, QDir(runs).filePath("2026-12-02_08-00-00_NORTH BRIDGE.txt"));
    EXPECT_EQ(run.csvFile, path);
}

// The program ended in the middle of a run (a crash, a kill): at the next start the run is in
// the history as "interrupted", with the board and the rows its record kept.
TEST(ImportScenario, ARunTheProgramWasEndedUnderIsInTheHistoryAtTheNextStart) {
    testsupport::HistoryRig h;
    h.startProgram();
    h.openEditor();
    h.enterProfile("4711", "Ana");
    h.runToX1();
    ASSERT_EQ(h.db().unfinishedRuns().size(), 1);
    const QString runId = h.db().unfinishedRuns().first();
    const QString csv = h.editor->record().csvPath();

    // Gone without an end: no summary file, no end in the database.
    auto& rig = *h.rig;
    rig.program.reset();
    ASSERT_FALSE(QFileInfo::exists(QFileInfo(csv).path() + "/" + QFileInfo(csv).completeBaseName() + ".txt"));
    rig.program = std::make_unique<app::Program>(rig.state, rig.bridgeCalls, rig.clock, rig.dialogs, rig.shell,
                                                 rig.folder, rig.dir.filePath("user"));
    rig.program->userDataFolder = rig.dir.filePath("userdata");
    rig.program->start();

    history::RunDatabase& db = rig.program->runHistory().database();
    ASSERT_TRUE(db.isOpen()) << db.problem().toStdString();
    EXPECT_EQ(db.runCount(), 1) << "the same run, not a second one";
    const std::optional<history::RunEntry> run = db.run(runId);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->outcome, "interrupted");
    EXPECT_EQ(run->board, "4711");
    EXPECT_EQ(run->operatorName, "Ana");
    EXPECT_EQ(run->points[1].celsius, 150);
    EXPECT_TRUE(run->reachedS[0]);
    EXPECT_EQ(run->rows.size(), history::readRecordRows(csv).rows.size());
    EXPECT_GE(run->rows.size(), 30u);
}

}  // namespace

namespace {

// The database is not opened on the way to the first window but soon after it; an editor
// opened before then opens it first, before a run can write a record that the import would
// otherwise bring in as an earlier, interrupted run.
TEST(ImportScenario, TheDatabaseOpensAfterTheStartOrWhenTheEditorOpensBeforeThen) {
    testsupport::HistoryRig h;
    h.rig->start();
    app::RunHistoryLink& link = h.rig->program->runHistory();
    EXPECT_FALSE(link.opened());
    EXPECT_TRUE(h.rig->clock.runUntil([&] { return link.opened(); }, app::Program::kDeferredAtLatestMs));

    testsupport::HistoryRig early;
    early.rig->start();
    early.openEditor();
    EXPECT_TRUE(early.rig->program->runHistory().opened());
}

}  // namespace

// The run record: whole runs on virtual time write the rows, the summary and nothing
// else; the summary agrees with the rows.
#include "profiles/run_record.h"
#include "profiles/run_sequencer.h"
#include "tests/profiles/fake_run_editor.h"
#include "tests/support/poller_rig.h"
#include "tests/support/qt_printers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using profiles::RunOutcome;
using profiles::RunRecord;

namespace {

struct CsvRow {
    double elapsed = 0;
    QString board, profile, upper, lower, fan, mode, state, event;
};

std::vector<CsvRow> readCsv(const QString& path, QString* header) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QList<QByteArray> lines = f.readAll().split('\n');
    std::vector<CsvRow> rows;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = QString::fromLatin1(lines[i]);
        if (line.isEmpty()) continue;
        EXPECT_TRUE(line.endsWith('\r')) << "CR LF line ends";
        line.chop(1);
        if (i == 0) {
            *header = line;
            continue;
        }
        const QStringList f = line.split(',');
        EXPECT_EQ(f.size(), 9) << line.toStdString();
        if (f.size() != 9) continue;
        rows.push_back({f[0].toDouble(), f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]});
    }
    return rows;
}

std::map<QString, QString> readSummary(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    std::map<QString, QString> out;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        const int colon = int(line.indexOf(": "));
        if (colon > 0) out[line.left(colon)] = line.mid(colon + 2);
    }
    return out;
}

struct Record : ::testing::Test {
    testsupport::PollerRig rig;
    testsupport::FakeEditor editor;
    ui::RunAlert alert{rig.state, rig.clock, QString(), [this](bool on) { editor.enabled = on; }};
    profiles::RunSequencer run{rig.state, rig.clock, editor, alert};
    RunRecord record{rig.state, rig.clock};
    RunRecord::Setup setup;
    QStringList failures, progress, events;
    std::optional<profiles::RunSummary> summary;

    void SetUp() override {
        setup.programFolder = rig.dir.filePath("program");
        setup.userDataFolder = rig.dir.filePath("user");
        setup.profileName = "NORTH BRIDGE";
        setup.started = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27));
        setup.profileC = [](int s) { return s == 0 ? std::nullopt : std::optional<double>(25 + s * 0.5); };
        record.setFailureSink([this](const QString& t) { failures << t; });
        record.setProgressSink([this](const QString& t) { progress << t; });
        // What the editor does with the run's events.
        run.setEventSink([this](const QString& e) {
            events << e;
            if (e == "confirmed" && !record.recording()) record.begin(setup);
            record.event(e);
            if (e == "finish") summary = record.endRun(RunOutcome::Finished);
            if (e == "terminate") summary = record.endRun(RunOutcome::Terminated);
            if (e == "stop") summary = record.endRun(RunOutcome::Stopped);
        });
        alert.setAnswerSink([this](const QString& a) { record.event("answer: " + a); });
        rig.connect();
        rig.station.setMachineMode(core::PositionPark);
        editor.points = testsupport::northBridge();
        editor.points[1].modePosition = 1;  // park throughout: no mode waits
        editor.points[2] = {"200", "REFLOW NOW", 2, 1, 1, false};
        setup.pointsC = {60, 140, 200};
    }
    bool until(const std::function<bool()>& done, std::int64_t limitMs = 60 * 60 * 1000) {
        return rig.clock.runUntil(done, limitMs);
    }
    void startAndConfirm() {
        run.Command5_Click();
        ASSERT_TRUE(until([&] { return alert.loaded(); }));
        alert.form()->Command1->click();
    }
};

}  // namespace

TEST_F(Record, AFinishedRunLeavesRowsThatItsSummaryAgreesWith) {
    startAndConfirm();
    ASSERT_TRUE(until([&] { return editor.caption == "Run"; }));
    ASSERT_TRUE(summary.has_value());
    rig.clock.advance(30000);  // the cooling trace goes on into the record
    record.close();
    EXPECT_TRUE(failures.isEmpty()) << failures.join("; ").toStdString();

    const QString expected = QDir(rig.dir.filePath("program/Runs")).filePath("2026-12-09_14-03-27_NORTH BRIDGE");
    EXPECT_EQ(record.basePath(), expected);
    QString header;
    const std::vector<CsvRow> rows = readCsv(expected + ".csv", &header);
    EXPECT_EQ(header, RunRecord::kHeader);
    ASSERT_GT(rows.size(), 100u);
    EXPECT_EQ(rows.front().event, "start");

    // Every event of the run is a row, in the order it happened (from the confirmation on).
    QStringList rowEvents;
    for (const CsvRow& r : rows)
        if (!r.event.isEmpty() && !r.event.startsWith("link ") && !r.event.startsWith("answer: "))
            rowEvents << r.event;
    const QStringList afterStart = events.mid(events.indexOf("confirmed"));
    EXPECT_EQ(rowEvents.mid(1), afterStart);

    // The figures, worked out here from the rows alone.
    double peak = -1, peakAt = 0, above = 0, end = 0;
    std::map<int, double> reached;
    std::vector<std::pair<double, double>> ticks;
    bool ended = false;
    for (const CsvRow& r : rows) {
        if (ended) break;
        end = r.elapsed;
        if (r.event.startsWith("reached X")) reached.emplace(r.event.back().digitValue(), r.elapsed);
        if (r.event == "finish") ended = true;
        if (!r.event.isEmpty() || r.board.isEmpty()) continue;
        const double t = r.board.toDouble();
        ticks.emplace_back(r.elapsed, t);
        if (t > peak) peak = t, peakAt = r.elapsed;
        if (t >= 183) above += 1;
    }
    double rise = -1e9, fall = 1e9;
    for (std::size_t i = 0; i < ticks.size(); ++i)
        for (std::size_t j = i + 1; j < ticks.size(); ++j)
            if (std::abs(ticks[j].first - ticks[i].first - 5) < 0.5) {
                const double r = (ticks[j].second - ticks[i].second) / (ticks[j].first - ticks[i].first);
                rise = std::max(rise, r);
                fall = std::min(fall, r);
            }

    const auto s = readSummary(expected + ".txt");
    EXPECT_EQ(s.at("outcome"), "Finished");
    EXPECT_EQ(s.at("profile"), "NORTH BRIDGE");
    EXPECT_EQ(s.at("points_C"), "X1 60, X2 140, X3 200");
    EXPECT_EQ(s.at("alloy"), "Leaded");
    EXPECT_EQ(s.at("total_time_s").toDouble(), end);
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(s.at(QString("time_to_X%1_s").arg(p)).toDouble(), reached.at(p)) << p;
    EXPECT_EQ(s.at("peak_C").toDouble(), peak);
    EXPECT_GE(peak, 200);
    EXPECT_EQ(s.at("peak_at_s").toDouble(), peakAt);
    EXPECT_EQ(s.at("liquidus_C"), "183");
    EXPECT_EQ(s.at("time_above_liquidus_s").toDouble(), above);
    EXPECT_GT(above, 0);
    EXPECT_NEAR(s.at("steepest_rise_C_per_s").toDouble(), rise, 0.005);
    EXPECT_NEAR(s.at("steepest_fall_C_per_s").toDouble(), fall, 0.005);

    // Rows after the finish belong to the cooling trace.
    EXPECT_GT(rows.back().elapsed, end + 25);
    EXPECT_EQ(rows.back().upper, "OFF");
    EXPECT_EQ(rows.back().lower, "OFF");
    EXPECT_EQ(rows[5].profile, QString::number(25 + int(rows[5].elapsed) * 0.5, 'f', 1));
    EXPECT_TRUE(progress.back().contains("Cooling")) << progress.back().toStdString();
}

TEST_F(Record, CancelAndStopEachLeaveARecordWithTheirOutcome) {
    struct Case {
        bool cancel;
        const char* outcome;
    } cases[] = {{true, "Terminated by Cancel"}, {false, "Stopped by the operator"}};
    int n = 0;
    for (const Case& c : cases) {
        summary.reset();
        setup.started = setup.started.addSecs(60);
        startAndConfirm();
        ASSERT_TRUE(until([&] { return rig.state.EditorState == profiles::RunX2Approach; }));
        if (c.cancel) {
            alert.form()->Command2->click();
            ASSERT_TRUE(until([&] { return editor.caption == "Run"; }, 5000));
        } else {
            run.Command5_Click();
        }
        ASSERT_TRUE(summary.has_value());
        EXPECT_FALSE(record.recording());
        const auto s = readSummary(record.basePath() + ".txt");
        EXPECT_EQ(s.at("outcome"), c.outcome);
        EXPECT_EQ(s.at("time_to_X3_s"), "not reached");
        QString header;
        const auto rows = readCsv(record.csvPath(), &header);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back().event, c.cancel ? "terminate" : "stop");
        int answers = 0;
        for (const CsvRow& r : rows) answers += r.event == "answer: Cancel";
        EXPECT_EQ(answers, c.cancel ? 1 : 0);
        ++n;
        // Let the board cool for the next case.
        rig.state.ProfileRunActive = false;
        rig.clock.advance(1000);
    }
    EXPECT_EQ(n, 2);
}

TEST_F(Record, AnUnwritableFolderIsReportedOnceAndTheRunGoesOn) {
    setup.programFolder = "/dev/null/program";
    setup.userDataFolder = "/dev/null/user";
    startAndConfirm();
    ASSERT_TRUE(until([&] { return editor.caption == "Run"; }));
    EXPECT_EQ(editor.status(), "Process: Profile Finished Successfully");
    ASSERT_EQ(failures.size(), 1) << failures.join("; ").toStdString();
    EXPECT_TRUE(failures[0].startsWith("The run record cannot be written")) << failures[0].toStdString();
    ASSERT_TRUE(summary.has_value());
    EXPECT_GT(summary->totalS, 60) << "the summary is still worked out from the rows in memory";
}

TEST_F(Record, ABoardThatStopsRisingIsNoted) {
    editor.points[0] = {"170", "GO", 1, 0, 1, false};  // PERHEAT alone settles near 150
    editor.points[1].temperature = editor.points[2].temperature = "200";
    rig.state.GuardLimits.noRiseS = 600;  // the note comes long before the guard would act
    rig.state.GuardLimits.approachS = 3600;
    startAndConfirm();
    ASSERT_TRUE(until([&] { return progress.filter(RunRecord::kNoRise).size() > 0; }, 20 * 60 * 1000));
    EXPECT_EQ(rig.state.EditorState, profiles::RunX1Approach) << "the run itself is not changed";
    run.Command5_Click();
    QString header;
    int noted = 0;
    for (const CsvRow& r : readCsv(record.csvPath(), &header)) noted += r.event == RunRecord::kNoRise;
    EXPECT_EQ(noted, 1);
}

TEST_F(Record, ALostLinkIsLoggedAndShownUntilItIsBack) {
    startAndConfirm();
    ASSERT_TRUE(until([&] { return rig.state.EditorState == profiles::RunX1Approach; }));
    rig.station.unplug();
    ASSERT_TRUE(until([&] { return !rig.state.MachineOnline; }, 60000));
    ASSERT_TRUE(until([&] { return progress.last().endsWith(RunRecord::kLinkLost); }, 5000));
    rig.station.replug();
    ASSERT_TRUE(until([&] { return rig.state.MachineOnline; }, 60000));
    ASSERT_TRUE(until([&] { return !progress.last().contains(RunRecord::kLinkLost); }, 5000));
    run.Command5_Click();
    QStringList logged;
    QString header;
    for (const CsvRow& r : readCsv(record.csvPath(), &header))
        if (r.event.startsWith("link")) logged << r.event;
    EXPECT_EQ(logged, QStringList({"link lost", "link back"}));
}

TEST(RecordNames, TheProfileNameIsMadeSafeForAFileName) {
    struct Case {
        const char* name;
        const char* part;
    } cases[] = {{"NORTH BRIDGE", "NORTH BRIDGE"}, {"  BGA-12 ", "BGA-12"},    {"a/b\\c:d", "a_b_c_d"},
                 {"x.y&z", "x_y_z"},               {"   ", "Untitled"},        {"", "Untitled"}};
    for (const Case& c : cases) EXPECT_EQ(RunRecord::fileNamePart(c.name), QString(c.part)) << c.name;
}

TEST(RecordNames, AnInstalledProgramFolderIsNeverWrittenTheRecordsGoToTheUsersFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin"));
    EXPECT_EQ(RunRecord::runsFolder(dir.filePath("bin"), dir.filePath("user")), dir.filePath("bin/Runs"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("share/kr9300"));  // the package's layout, writable or not
    EXPECT_EQ(RunRecord::runsFolder(dir.filePath("bin"), dir.filePath("user")), dir.filePath("user/Runs"));
}

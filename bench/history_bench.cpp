// The run history at size: 10,000 runs of 600 rows each, generated once into a temporary
// database. The history window opening on its first page, a filter's answer, one run's
// write at its end, and what five overlaid runs add to the profile chart's redraw.
#include "core/shared_state.h"
#include "history/run_columns.h"
#include "history/run_database.h"
#include "history/run_history_window.h"
#include "history/run_list_model.h"
#include "history/run_overlay.h"
#include "platform/qt_dialogs.h"
#include "profiles/profile_chart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kRuns = 10000;
constexpr int kRows = 600;

// One run of 600 once-a-second rows: a rise, a peak near 225 C and the fall.
history::RunEntry makeRun(int n) {
    history::RunEntry r;
    r.runId = history::newRunId();
    r.started = QDateTime(QDate(2024, 1, 1), QTime(7, 0)).addSecs(qint64(n) * 3 * 3600);
    r.stationId = "KR-" + QString::number(n % 7);
    r.firmware = "7";
    r.programVersion = "0.1.0";
    r.profileName = QString("PROFILE %1").arg(n % 40);
    r.points = {{{90, "PREHEAT", "PERHEAT", "OFF", false, "Park Mode"},
                 {150, "SOAK", "REFLOW", "REFLOW", false, "Normal Mode"},
                 {225, "REFLOW", "REFLOW", "FAST REFLOW", true, "Normal Mode"}}};
    r.alloy = "Leaded";
    r.paste = "Sn63Pb37";
    r.board = QString("%1-%2").arg(1000 + n % 5000).arg(n % 3);
    r.operatorName = QStringList{"Ana", "Bo", "Cem", "Dina"}[n % 4];
    r.outcome = n % 50 ? history::outcome::kFinished : history::outcome::kInterrupted;
    r.verdict = n % 3 ? "PASS" : "FAIL";
    r.pwi = 40 + n % 90;
    r.peakC = 215 + n % 20;
    r.aboveLiquidusS = 50 + n % 30;
    r.lengthS = kRows - 1;
    r.reachedS = {90.0, 200.0, 320.0};
    r.csvFile = "/runs/" + r.started.toString("yyyy-MM-dd_HH-mm-ss") + "_" + r.profileName + ".csv";
    for (int s = 0; s < kRows; ++s) {
        history::RunSample row;
        row.elapsedS = s;
        row.boardC = 25 + 200 * std::sin(M_PI * s / (kRows * 1.1)) + (n % 11);
        row.profileC = 25 + s * 0.5;
        row.upperHeater = "REFLOW";
        row.lowerHeater = "PERHEAT";
        row.machineMode = "NORMAL";
        row.state = 6;
        r.rows.push_back(row);
    }
    return r;
}

// The database, made once for every benchmark of the process.
struct BigHistory {
    QTemporaryDir dir;
    history::RunDatabase db;

    BigHistory() {
        QElapsedTimer t;
        t.start();
        db.open(dir.filePath(history::RunDatabase::kFileName));
        QSqlDatabase c = db.connection();
        c.transaction();
        QSqlQuery line(c), rows(c);
        rows.prepare("INSERT INTO run_rows (run_id, seq, elapsed_s, board_c, profile_c, upper_heater, lower_heater, "
                     "fan, machine_mode, state, event) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (int n = 0; n < kRuns; ++n) {
            const history::RunEntry run = makeRun(n);
            const auto columns = history::runColumns(run);
            if (n == 0) {
                QStringList names, marks;
                for (const auto& col : columns) names << col.first, marks << "?";
                line.prepare("INSERT INTO runs (" + names.join(", ") + ") VALUES (" + marks.join(", ") + ")");
            }
            for (std::size_t i = 0; i < columns.size(); ++i) line.bindValue(int(i), columns[i].second);
            line.exec();
            for (int s = 0; s < kRows; ++s) {
                const history::RunSample& r = run.rows[std::size_t(s)];
                const QVariantList values{run.runId, s, r.elapsedS, *r.boardC, *r.profileC, r.upperHeater,
                                          r.lowerHeater, 0, r.machineMode, r.state, QString()};
                for (int i = 0; i < values.size(); ++i) rows.bindValue(i, values[i]);
                rows.exec();
            }
        }
        c.commit();
        std::fprintf(stderr, "history: %d runs of %d rows generated in %.1f s, %d runs in the database\n", kRuns, kRows,
                     double(t.elapsed()) / 1000, db.runCount());
    }
};

BigHistory& big() {
    static BigHistory history;
    return history;
}

// Dialogs that are never shown here.
platform::QtDialogs& dialogs() {
    static platform::QtDialogs d;
    return d;
}

}  // namespace

static void BM_HistoryWindowFirstPage(benchmark::State& state) {
    BigHistory& h = big();
    for (auto _ : state) {
        history::RunHistoryWindow window(h.db, dialogs(), h.dir.path(), {});
        window.show();
        window.repaint();  // the first page painted
        benchmark::DoNotOptimize(window.model()->rowCount());
    }
}
BENCHMARK(BM_HistoryWindowFirstPage)->Unit(benchmark::kMillisecond);

static void BM_HistoryFilter(benchmark::State& state) {
    BigHistory& h = big();
    history::RunHistoryWindow window(h.db, dialogs(), h.dir.path(), {});
    window.show();
    const QStringList texts{"4711", "Cem", "PROFILE 3", "17"};
    int i = 0;
    for (auto _ : state) {
        window.model()->setFilterText(texts[i++ % texts.size()]);
        window.runTable->repaint();
        benchmark::DoNotOptimize(window.model()->matchCount());
    }
}
BENCHMARK(BM_HistoryFilter)->Unit(benchmark::kMillisecond);

static void BM_RunWriteAtItsEnd(benchmark::State& state) {
    BigHistory& h = big();
    history::RunEntry run = makeRun(424242);
    for (auto _ : state) {
        run.runId = history::newRunId();
        if (!h.db.writeRun(run)) state.SkipWithError(h.db.lastError().toStdString().c_str());
    }
}
BENCHMARK(BM_RunWriteAtItsEnd)->Unit(benchmark::kMillisecond);

namespace {

struct Chart {
    core::SharedState shared;
    profiles::ProfileChart chart{shared, QCoreApplication::applicationDirPath()};
    explicit Chart(int overlays) {
        shared.X1SetPointC = 100;
        shared.X2SetPointC = 150;
        shared.X3SetPointC = 220;
        shared.PcbTemperatureValid = true;
        chart.ComputeProfileCurve(profiles::Alloy::Leaded);
        for (int i = 0; i < 300; ++i) {
            shared.PcbTemperature = std::int16_t(std::lround(chart.profileCurve()[std::size_t(i + 1)] - 5));
            chart.AppendTcSample();
        }
        chart.TcSampleCount = 299;
        // Five earlier runs of 600 readings, as the history hands them over.
        std::vector<profiles::OverlayTrace> traces;
        for (int r = 0; r < overlays; ++r) {
            const history::RunEntry run = makeRun(r);
            profiles::OverlayTrace t{QString("2026-12-0%1 10:00  4711").arg(r + 1), history::overlayColours()[std::size_t(r)],
                                     {}, run.reachedS, run.peakC, run.aboveLiquidusS};
            for (const history::RunSample& s : run.rows) t.boardC.push_back(*s.boardC - 10 * r);
            traces.push_back(std::move(t));
        }
        chart.setOverlay(std::move(traces));
        chart.ChartViewer1->show();
    }
};

}  // namespace

// The chart's redraw (rebuilt, rendered and painted) without and with five overlaid runs.
static void BM_ProfileChartRedraw(benchmark::State& state) {
    Chart c(int(state.range(0)));
    for (auto _ : state) {
        c.chart.DrawProfileChart();
        c.chart.ChartViewer1->repaint();
    }
}
BENCHMARK(BM_ProfileChartRedraw)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

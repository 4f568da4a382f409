// Judging a run: the figures, the Process Window Index and the verdict of a 15-minute run
// (900 rows a second) against SAC305 and the editor's line, as every run's end does.
#include "process/judgement.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// A slow SAC305 run of 900 s: a long soak, a peak near 245 C, the cooling to the end, with
// a second's noise on the readings and a few rows without one.
std::vector<process::Row> fifteenMinuteRun() {
    const double knots[][2] = {{0, 25}, {120, 150}, {600, 195}, {630, 220}, {660, 245}, {690, 220}, {900, 60}};
    std::vector<process::Row> rows;
    for (int t = 0; t < 900; ++t) {
        std::size_t k = 1;
        while (knots[k][0] < t) ++k;
        const double f = (t - knots[k - 1][0]) / (knots[k][0] - knots[k - 1][0]);
        const double c = knots[k - 1][1] + f * (knots[k][1] - knots[k - 1][1]) + std::sin(t * 0.7) * 0.4;
        rows.push_back({double(t), t % 97 == 50 ? std::nullopt : std::optional<double>(std::round(c))});
    }
    return rows;
}

}  // namespace

static void BM_JudgeFifteenMinuteRun(benchmark::State& state) {
    const std::vector<process::Row> rows = fifteenMinuteRun();
    const process::PasteWindow sac305 = process::builtInWindows()[1];
    if (process::judgeRun(rows, sac305, false).verdict == process::Verdict::None)
        state.SkipWithError("the run gets no verdict");
    for (auto _ : state) {
        const process::Judgement j = process::judgeRun(rows, sac305, false);
        QString line = j.line();
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_JudgeFifteenMinuteRun)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

// CPU use of the whole program in demo mode (main window, poller, simulated station and
// its window, plotting on) over a minute of real time, as a share of one core.
#include "bench/demo_program.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);  // every thread of the process
    auto sec = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}
}  // namespace

static void BM_WholeProgramCpu(benchmark::State& state) {
    const int seconds = int(state.range(0));
    QTemporaryDir dir;
    bench::DemoProgram::layOutDemoFolder(QCoreApplication::applicationDirPath(), dir.path());
    bench::DemoProgram demo(dir.path());
    demo.start();
    // Online first, so the minute measured is a minute of polling and plotting.
    if (!demo.clock.runUntil([&] { return demo.program->poller.lastPollSucceeded(); }, 10000)) {
        state.SkipWithError("the program did not come online with the simulated station");
        return;
    }
    for (auto _ : state) {
        const auto ticks0 = demo.program->poller.ticksRun();
        const auto samples0 = demo.state.PlottedSamples;
        const double cpu0 = cpuSeconds();
        const auto t0 = demo.clock.nowMs();
        demo.clock.runUntil([] { return false; }, seconds * 1000);
        const double wall = double(demo.clock.nowMs() - t0) / 1000.0;
        state.counters["cpu_percent_of_one_core"] = 100.0 * (cpuSeconds() - cpu0) / wall;
        state.counters["ticks"] = double(demo.program->poller.ticksRun() - ticks0);
        state.counters["samples_plotted"] = double(demo.state.PlottedSamples - samples0);
        state.counters["sim_window_shown"] = demo.simWindow->isVisible() ? 1 : 0;
    }
    if (!demo.state.Diagnostics.lines().isEmpty())
        state.SkipWithError(("link failures while measuring: " + demo.state.Diagnostics.lines().join(" | "))
                                .toStdString()
                                .c_str());
}
BENCHMARK(BM_WholeProgramCpu)->Arg(60)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

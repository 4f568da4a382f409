#include "platform/real_clock.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <ctime>

// CPU time spent by a one-second wait on the real clock, the way the program waits:
// a timer flag tested while events run. A wait that spins would cost close to 100%.
static void BM_RealClockWaitOneSecond(benchmark::State& state) {
    platform::RealClock clock;
    auto timer = clock.createTimer(1000, {});
    timer->setOnTick([&] {
        timer->setEnabled(false);
        timer->tag = true;
    });
    double cpuShare = 0;
    for (auto _ : state) {
        const std::clock_t c0 = std::clock();
        const auto w0 = clock.nowMs();
        timer->tag = false;
        timer->setEnabled(true);
        while (!timer->tag) clock.waitNext(1000);
        cpuShare = double(std::clock() - c0) / CLOCKS_PER_SEC / ((clock.nowMs() - w0) / 1000.0);
    }
    state.counters["cpu_percent_of_wait"] = cpuShare * 100.0;
}
BENCHMARK(BM_RealClockWaitOneSecond)->Iterations(3)->Unit(benchmark::kMillisecond);

// The reply wait looks at the bridge queue about every millisecond.
static void BM_RealClockOneMsPolling(benchmark::State& state) {
    platform::RealClock clock;
    double cpuShare = 0;
    for (auto _ : state) {
        const std::clock_t c0 = std::clock();
        const auto w0 = clock.nowMs();
        while (clock.nowMs() - w0 < 1000) clock.waitNext(1);
        cpuShare = double(std::clock() - c0) / CLOCKS_PER_SEC / ((clock.nowMs() - w0) / 1000.0);
    }
    state.counters["cpu_percent_of_wait"] = cpuShare * 100.0;
}
BENCHMARK(BM_RealClockOneMsPolling)->Iterations(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

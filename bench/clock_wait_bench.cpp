#include "platform/real_clock.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

namespace {
// CPU time over wall time of every iteration, reported all together and one by one.
struct WaitShares {
    std::clock_t cpu = 0;
    std::int64_t wallMs = 0;
    std::vector<double> each;
    void add(std::clock_t c, std::int64_t ms) {
        cpu += c;
        wallMs += ms;
        each.push_back(100.0 * double(c) / CLOCKS_PER_SEC / (double(ms) / 1000.0));
    }
    void report(benchmark::State& state) const {
        state.counters["cpu_percent_of_wait"] = 100.0 * double(cpu) / CLOCKS_PER_SEC / (double(wallMs) / 1000.0);
        state.counters["cpu_percent_max"] = each.empty() ? 0 : *std::max_element(each.begin(), each.end());
        for (std::size_t i = 0; i < each.size(); ++i) state.counters["cpu_percent_" + std::to_string(i + 1)] = each[i];
    }
};
}  // namespace

// CPU time spent by a one-second wait on the real clock, the way the program waits:
// a timer flag tested while events run. A wait that spins would cost close to 100%.
static void BM_RealClockWaitOneSecond(benchmark::State& state) {
    platform::RealClock clock;
    auto timer = clock.createTimer(1000, {});
    timer->setOnTick([&] {
        timer->setEnabled(false);
        timer->tag = true;
    });
    WaitShares shares;
    for (auto _ : state) {
        const std::clock_t c0 = std::clock();
        const auto w0 = clock.nowMs();
        timer->tag = false;
        timer->setEnabled(true);
        while (!timer->tag) clock.waitNext(1000);
        shares.add(std::clock() - c0, clock.nowMs() - w0);
    }
    shares.report(state);
}
BENCHMARK(BM_RealClockWaitOneSecond)->Iterations(3)->Unit(benchmark::kMillisecond);

// The reply wait looks at the bridge queue about every millisecond.
static void BM_RealClockOneMsPolling(benchmark::State& state) {
    platform::RealClock clock;
    WaitShares shares;
    for (auto _ : state) {
        const std::clock_t c0 = std::clock();
        const auto w0 = clock.nowMs();
        while (clock.nowMs() - w0 < 1000) clock.waitNext(1);
        shares.add(std::clock() - c0, clock.nowMs() - w0);
    }
    shares.report(state);
}
BENCHMARK(BM_RealClockOneMsPolling)->Iterations(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

// One profile slot write on the real clock against the simulated station, compared with
// its floor: the short pause after the start byte, 81 payload bytes at 500 ms each, and
// what is left of the station's storing time once the last pacing wait is over.
#include "core/shared_state.h"
#include "link/link.h"
#include "link/profile_payload.h"
#include "link/profile_transfer.h"
#include "platform/real_clock.h"
#include "simulator/sim_bridge.h"
#include "tests/support/recording_display.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

static void BM_ProfileSlotWriteRealClock(benchmark::State& state) {
    platform::RealClock clock;
    simulator::SimStation station(clock, 7);
    simulator::SimBridge bridge(station);
    core::SharedState shared;
    stationlink::Link link(shared, bridge, clock);
    testsupport::RecordingDisplay display;
    stationlink::StationProfiles profiles(link, display);
    if (!link.OpenStationPort()) {
        state.SkipWithError("the simulated station's port did not open");
        return;
    }

    core::ProfileTransfer& t = shared.Transfer;
    t.ProfileNumber = 2;
    t.Name = "NORTH BRIDGE";
    stationlink::setProfileTemperature(t, 1, 60);
    stationlink::setProfileTemperature(t, 2, 140);
    stationlink::setProfileTemperature(t, 3, 180);
    t.X1Message = " MOVE U.H. NOW ...  ";
    t.X2Message = "   SWITCH PUMP ON   ";
    t.X3Message = " PICK COMPONENT NOW ";
    t.X1LowerCode = 8, t.X2LowerCode = 10, t.X3LowerCode = 8;
    t.X1UpperCode = 1, t.X2UpperCode = 2, t.X3UpperCode = 2;

    const int pacing = stationlink::StationProfiles::kWritePacingMs;
    const double floorMs = stationlink::Link::kShortPauseMs + stationlink::kProfilePayloadSize * pacing +
                           std::max(0, simulator::SimStation::answerDelayFor(0xA6) - pacing);
    double ms = 0, cpu = 0;
    for (auto _ : state) {
        t.WriteDone = false;
        const std::clock_t c0 = std::clock();
        const auto t0 = clock.nowMs();
        profiles.WriteStationProfile();
        ms = double(clock.nowMs() - t0);
        cpu = double(std::clock() - c0) / CLOCKS_PER_SEC * 1000.0;
        state.SetIterationTime(ms / 1000.0);
    }
    if (!t.WriteDone || station.violationCount() != 0 || !shared.Diagnostics.lines().isEmpty()) {
        state.SkipWithError("the write did not succeed cleanly");
        return;
    }
    state.counters["write_ms"] = ms;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = ms / floorMs;
    state.counters["cpu_percent"] = 100.0 * cpu / ms;
}
BENCHMARK(BM_ProfileSlotWriteRealClock)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

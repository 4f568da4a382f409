// The status poll against its floor: the real poller on the real clock against the
// simulated station. A poll sends 4 bytes with 10 ms of pacing after each, so it can
// take no less than 40 ms plus whatever of the reply comes after the last pacing tick.
#include "app/program.h"
#include "platform/qt_dialogs.h"
#include "platform/real_clock.h"
#include "simulator/sim_bridge.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Passes every call to the simulated station's bridge and times each status poll, from
// its start byte to the receive purge that ends a good exchange.
class PollTimingBridge final : public platform::Bridge {
public:
    explicit PollTimingBridge(platform::Bridge& inner) : inner_(inner) {}
    std::vector<double> pollsMs;

    platform::BridgeStatus write(platform::BridgeHandle h, const std::uint8_t* b, std::uint32_t c,
                                 std::uint32_t& w) override {
        const auto now = Clock::now();
        if (c == 1) {
            if (sent_.empty() || b[0] == 0xAA) {
                sent_.clear();
                firstByte_ = now;
            }
            sent_.push_back(b[0]);
        }
        return inner_.write(h, b, c, w);
    }
    platform::BridgeStatus purge(platform::BridgeHandle h, std::uint32_t mask) override {
        const auto s = inner_.purge(h, mask);
        if (mask == platform::kPurgeRx && sent_ == std::vector<std::uint8_t>{0xAA, 0x02, 0x01, 0x01}) {
            pollsMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - firstByte_).count());
            sent_.clear();
        }
        return s;
    }
    platform::BridgeStatus open(int i, platform::BridgeHandle& h) override { return inner_.open(i, h); }
    platform::BridgeStatus close(platform::BridgeHandle h) override { return inner_.close(h); }
    platform::BridgeStatus setBaudRate(platform::BridgeHandle h, std::uint32_t r) override {
        return inner_.setBaudRate(h, r);
    }
    platform::BridgeStatus setDataCharacteristics(platform::BridgeHandle h, std::uint8_t w, std::uint8_t s,
                                                  std::uint8_t p) override {
        return inner_.setDataCharacteristics(h, w, s, p);
    }
    platform::BridgeStatus setFlowControl(platform::BridgeHandle h, std::uint16_t m, std::uint8_t x1,
                                          std::uint8_t x2) override {
        return inner_.setFlowControl(h, m, x1, x2);
    }
    platform::BridgeStatus setLatencyTimer(platform::BridgeHandle h, std::uint8_t ms) override {
        return inner_.setLatencyTimer(h, ms);
    }
    platform::BridgeStatus getQueueStatus(platform::BridgeHandle h, std::uint32_t& n) override {
        return inner_.getQueueStatus(h, n);
    }
    platform::BridgeStatus read(platform::BridgeHandle h, std::uint8_t* b, std::uint32_t c,
                                std::uint32_t& g) override {
        return inner_.read(h, b, c, g);
    }

private:
    platform::Bridge& inner_;
    std::vector<std::uint8_t> sent_;
    Clock::time_point firstByte_;
};

class QuietShell final : public platform::Shell {
public:
    bool openUrl(const QString&) override { return true; }
    void beep() override {}
    void copyText(const QString&) override {}
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

static void BM_StatusPollOverFloor(benchmark::State& state) {
    QTemporaryDir dir;
    core::SharedState shared;
    platform::RealClock clock;
    simulator::SimStation station(clock, 7);
    simulator::SimBridge simulated(station);
    PollTimingBridge bridge(simulated);
    QuietShell shell;
    platform::QtDialogs dialogs;
    app::Program program(shared, bridge, clock, dialogs, shell, dir.path(), dir.filePath("user"));
    program.start();
    shared.ConnectRequested = true;

    // Floor: 4 bytes x 10 ms, plus what of the reply (the station's answer time and
    // 10 bytes at 115200 baud) is left after the last pacing tick.
    const double replyMs = simulator::SimStation::answerDelayFor(0x01) + 10 * 10 * 1000.0 / 115200;
    const double floorMs = 4 * 10 + std::max(0.0, replyMs - 10);
    // What the connection itself says (the station's safety set point, ...) is no failure:
    // only lines that come once polling runs are.
    if (!clock.runUntil([&] { return !bridge.pollsMs.empty(); }, 5000)) {
        state.SkipWithError("no status poll succeeded within 5 s");
        return;
    }
    const qsizetype linesAtStart = shared.Diagnostics.lines().size();
    for (auto _ : state) {
        const std::size_t before = bridge.pollsMs.size();
        if (!clock.runUntil([&] { return bridge.pollsMs.size() > before; }, 5000)) {
            state.SkipWithError("no status poll succeeded within 5 s");
            return;
        }
        state.SetIterationTime(bridge.pollsMs.back() / 1000.0);
    }
    const double med = median(bridge.pollsMs);
    state.counters["floor_ms"] = floorMs;
    state.counters["median_ms"] = med;
    state.counters["max_ms"] = *std::max_element(bridge.pollsMs.begin(), bridge.pollsMs.end());
    state.counters["median_over_floor"] = med / floorMs;
    const QStringList failures = shared.Diagnostics.lines().mid(linesAtStart);
    if (!failures.isEmpty()) state.SkipWithError(("link failures: " + failures.join(" | ")).toStdString().c_str());
}
BENCHMARK(BM_StatusPollOverFloor)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

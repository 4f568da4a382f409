#include "tests/support/fault_simulation.h"

#include "simulator/prng.h"

#include <cstdlib>
#include <deque>
#include <sstream>

namespace testsupport {

namespace {

// The longest a tick may take: reconnecting (identification 2 s, settings read 0.5 s,
// threshold write 10 s) plus a status poll plus the longest request (a profile slot write:
// 81 bytes at 500 ms, then up to 20 s for the reply).
constexpr std::int64_t kLongestRequestMs = 81 * 500 + 100 + 20000 + 200;
constexpr std::int64_t kLongestTickMs = 2100 + 600 + 10200 + 150 + kLongestRequestMs;
constexpr int kOwnedSettingsBytes[] = {7, 8, 10, 13, 14};

bool owned(int i) {
    for (int b : kOwnedSettingsBytes)
        if (b == i) return true;
    return false;
}

class Recorder {
public:
    void event(const std::string& e) {
        for (char c : e) hash_ = (hash_ ^ std::uint8_t(c)) * 1099511628211ull;
        hash_ = (hash_ ^ '\n') * 1099511628211ull;
        last_.push_back(e);
        if (last_.size() > 60) last_.pop_front();
    }
    std::string last() const {
        std::string out;
        for (const auto& e : last_) out += "    " + e + "\n";
        return out;
    }
    std::uint64_t hash() const { return hash_; }

private:
    std::uint64_t hash_ = 1469598103934665603ull;
    std::deque<std::string> last_;
};

}  // namespace

std::function<void(int)> requestTablePresser(core::SharedState& state) {
    return [&state](int k) {
        static const int kSlots[] = {core::SlotUpperHeaterUp, core::SlotUpperHeaterDown, core::SlotLowerHeaterUp,
                                    core::SlotLowerHeaterDown, core::SlotFan};
        if (k == 5) {
            state.RequestFlags[core::SlotClearLog] = true;
            return;
        }
        if (!state.MachineOnline || k < 0 || k > 4) return;
        state.OperatorRequestPending = true;
        state.RequestFlags[std::size_t(kSlots[k])] = true;
    };
}

FaultRunResult runFaultSimulation(const RunView& v, const FaultRunConfig& cfg) {
    FaultRunResult result;
    Recorder trace;
    simulator::Prng operatorDice(cfg.seed * 7919 + 17);
    auto& station = v.station;
    const auto settingsAtStart = station.settings();
    std::uint64_t framesSeen = station.frameCount();
    std::uint64_t violationsSeen = station.violationCount();
    int diagnosticsSeen = v.state.Diagnostics.size();

    const RunView::Trace traceTo = [&trace](const std::string& e) { trace.event(e); };
    auto fail = [&](const std::string& what) {
        if (!result.ok) return;
        std::ostringstream s;
        s << "seed " << cfg.seed << " at t=" << v.clock.nowMs() << " ms, tick " << v.poller.ticksRun() << ": " << what;
        result.ok = false;
        result.failure = s.str();
        result.lastEvents = trace.last();
        // KR_FAULT_DUMP=1: the bytes of the last frames and the faults so far, for a replay.
        if (std::getenv("KR_FAULT_DUMP")) {
            const auto& fr = station.frames();
            for (std::size_t i = fr.size() > 6 ? fr.size() - 6 : 0; i < fr.size(); ++i) {
                std::ostringstream d;
                d << fr[i].atMs << ":";
                for (auto b : fr[i].bytes) d << " " << std::hex << int(b);
                result.lastEvents += "DUMP " + d.str() + "\n";
            }
            for (const auto& [k, n] : station.faults().injected()) result.lastEvents += "DUMP fault " + k + " " + std::to_string(n) + "\n";
        }
    };

    // Everything new since the last look goes into the trace and is judged.
    auto look = [&]() {
        const auto& frames = station.frames();
        const std::uint64_t newFrames = station.frameCount() - framesSeen;
        for (std::size_t i = frames.size() - std::min<std::size_t>(frames.size(), newFrames); i < frames.size(); ++i) {
            std::ostringstream e;
            e << frames[i].atMs << " frame 0x" << std::hex << int(frames[i].bytes[3]);
            trace.event(e.str());
        }
        framesSeen = station.frameCount();
        const QStringList& lines = v.state.Diagnostics.lines();
        for (int i = diagnosticsSeen; i < lines.size(); ++i) trace.event("list: " + lines[i].toStdString());
        diagnosticsSeen = lines.size();

        const std::uint64_t newViolations = station.violationCount() - violationsSeen;
        const auto& vs = station.violations();
        for (std::size_t i = vs.size() - std::min<std::size_t>(vs.size(), newViolations); i < vs.size(); ++i) {
            const auto& viol = vs[i];
            trace.event(std::string("station: ") + toString(viol.kind) + " (" + viol.detail + ")");
            if (viol.kind == simulator::Violation::Kind::PacingTooShort) fail("a byte was sent too soon: " + viol.detail);
            else if (!viol.faultInduced) fail(std::string("the station saw ") + toString(viol.kind) + ": " + viol.detail);
            else ++result.tolerated;
        }
        violationsSeen = station.violationCount();

        if (v.handCheck)
            if (const std::string f = v.handCheck(); !f.empty()) fail(f);
        if (v.link.refusedTransactions() != 0) fail("a second transaction was started while one was waiting");
        if (v.poller.lastTickMs() > kLongestTickMs)
            fail("a tick took " + std::to_string(v.poller.lastTickMs()) + " ms");
        for (int i = 0; i < 16; ++i)
            if (!owned(i) && station.settings()[std::size_t(i)] != settingsAtStart[std::size_t(i)])
                fail("settings byte " + std::to_string(i) + " was changed");
        // The safety rule: a good poll at or above the set point trips it until both heaters are off.
        const auto& s = v.state;
        if (v.poller.lastPollSucceeded() && s.PcbTemperatureValid && !s.ProfileRunActive &&
            s.PcbTemperature >= s.Settings.SafetySP && !s.SafetyTripped &&
            (s.UpperHeaterMode > 1 || s.LowerHeaterMode > 1))
            fail("the board read " + std::to_string(s.PcbTemperature) + " at a set point of " +
                 std::to_string(s.Settings.SafetySP) + " with a heater on, and the safety rule did not trip");
    };

    auto tick = [&]() {
        const auto target = v.poller.ticksRun() + 1;
        bool ran = false;
        try {
            ran = v.clock.runUntil([&] { return v.poller.ticksRun() >= target && !v.state.PollerBusy; },
                                   kLongestTickMs + 5000);
        } catch (const platform::VirtualDeadlock& e) {
            fail(std::string("deadlock: ") + e.what());
            return false;
        }
        if (!ran) {
            fail("no tick for " + std::to_string((kLongestTickMs + 5000) / 1000) + " s");
            return false;
        }
        look();
        return result.ok;
    };

    // A board that may start hot, heaters anywhere.
    station.setBoardTemperature(double(operatorDice.between(25, 320)));
    station.setHeaters(int(operatorDice.between(1, 4)), int(operatorDice.between(1, 3)));
    station.faults().setRates(simulator::FaultRates::uniform(cfg.faultRate));
    station.faults().setEnabled(true);
    v.state.ConnectRequested = true;

    const std::int64_t end = v.clock.nowMs() + std::int64_t(cfg.faultMinutes) * 60000;
    while (result.ok && v.clock.nowMs() < end) {
        if (operatorDice.chance(0.3)) {
            const int k = int(operatorDice.between(0, v.buttons - 1));
            traceTo("press " + std::to_string(k));
            v.press(k);
        }
        if (v.hand) v.hand(traceTo);
        if (!tick()) break;
    }
    result.faults = station.faults().injected();

    // Healthy again: the program must be back within three ticks...
    station.faults().setEnabled(false);
    station.setProbeError(false);
    station.replug();
    if (result.ok && v.windDown) v.windDown(traceTo);
    bool back = false;
    for (int i = 0; i < 3 && result.ok && !back; ++i) {
        if (!tick()) break;
        back = v.state.MachineOnline && v.poller.lastPollSucceeded();
    }
    if (result.ok && !back) fail("still not online 3 ticks after the faults stopped");

    // ...and turn the heaters off when the board reaches the set point.
    if (result.ok) {
        station.setHeaters(4, 3);
        bool off = false;
        for (int i = 0; i < 10 && result.ok && !off; ++i) {
            station.setBoardTemperature(v.state.Settings.SafetySP + 2);
            if (!tick()) break;
            off = station.upperLevel() == 1 && station.lowerLevel() == 1;
        }
        if (result.ok && !off) fail("the heaters were still on 10 ticks after the board reached the set point");
    }
    result.ticks = v.poller.ticksRun();
    result.traceHash = trace.hash();
    return result;
}

}  // namespace testsupport

#pragma once
#include "simulator/prng.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace simulator {

enum class ReplyFault { None, Lost, Late, Truncated, Corrupted, WrongAck, WrongOpcode };
enum class BridgeOp { Open, Close, BaudRate, DataCharacteristics, FlowControl, Purge, Latency, QueueStatus, Write, Read };
enum class Heater { Upper, Lower };

const char* toString(ReplyFault fault);
const char* toString(BridgeOp op);

// Chances per reply, per bridge call and per frame; all zero means a healthy station.
struct FaultRates {
    double lost = 0, late = 0, truncated = 0, corrupted = 0, wrongAck = 0, wrongOpcode = 0;
    double bridgeCall = 0;  // each bridge call except read
    double unplug = 0;      // per frame received: the cable is pulled for a while
    double probeError = 0;  // per status reply: the thermocouple reads open
    // Per status reply: the thermocouple comes off the board, or a heater element stops
    // heating, for a while between the given times, then it is mended.
    double thermocoupleDetached = 0;
    double heaterDead = 0;
    int unplugMinMs = 1000, unplugMaxMs = 15000;
    int detachedMinMs = 5000, detachedMaxMs = 180000;
    int heaterDeadMinMs = 10000, heaterDeadMaxMs = 240000;

    static FaultRates none() { return {}; }
    // Every kind at the same chance.
    static FaultRates uniform(double p);
};

// Draws faults from its own seeded generator: the same seed and the same sequence of
// questions give the same faults. Counts what it injected, by kind.
class FaultInjector {
public:
    explicit FaultInjector(std::uint64_t seed = 1) : prng_(seed) {}
    void setRates(const FaultRates& rates) { rates_ = rates; }
    const FaultRates& rates() const { return rates_; }
    void setEnabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }

    ReplyFault drawReplyFault();
    bool drawBridgeFailure(BridgeOp op);
    bool drawUnplug(int& forMs);
    bool drawProbeError();
    bool drawThermocoupleDetached(int& forMs);
    bool drawHeaterDead(Heater& which, int& forMs);
    // Random numbers for the details of a fault (which byte, how late).
    std::int64_t between(std::int64_t lo, std::int64_t hi) { return prng_.between(lo, hi); }

    const std::map<std::string, std::uint64_t>& injected() const { return injected_; }
    std::uint64_t totalInjected() const;

private:
    void count(const std::string& kind) { ++injected_[kind]; }
    Prng prng_;
    FaultRates rates_;
    bool enabled_ = true;
    std::map<std::string, std::uint64_t> injected_;
};

}  // namespace simulator

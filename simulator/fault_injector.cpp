#include "simulator/fault_injector.h"

namespace simulator {

const char* toString(ReplyFault fault) {
    switch (fault) {
        case ReplyFault::None: return "none";
        case ReplyFault::Lost: return "lost reply";
        case ReplyFault::Late: return "late reply";
        case ReplyFault::Truncated: return "truncated reply";
        case ReplyFault::Corrupted: return "corrupted reply";
        case ReplyFault::WrongAck: return "wrong acknowledge";
        case ReplyFault::WrongOpcode: return "wrong opcode echo";
    }
    return "?";
}

const char* toString(BridgeOp op) {
    switch (op) {
        case BridgeOp::Open: return "open fails";
        case BridgeOp::Close: return "close fails";
        case BridgeOp::BaudRate: return "baud rate fails";
        case BridgeOp::DataCharacteristics: return "data characteristics fail";
        case BridgeOp::FlowControl: return "flow control fails";
        case BridgeOp::Purge: return "purge fails";
        case BridgeOp::Latency: return "latency timer fails";
        case BridgeOp::QueueStatus: return "queue status fails";
        case BridgeOp::Write: return "write fails";
        case BridgeOp::Read: return "read fails";
    }
    return "?";
}

FaultRates FaultRates::uniform(double p) {
    FaultRates r;
    r.lost = r.late = r.truncated = r.corrupted = r.wrongAck = r.wrongOpcode = p;
    r.bridgeCall = p / 4;
    r.unplug = p / 10;
    r.probeError = p;
    // Lasting faults: rarer, as a pulled cable is.
    r.thermocoupleDetached = p / 10;
    r.heaterDead = p / 10;
    return r;
}

ReplyFault FaultInjector::drawReplyFault() {
    if (!enabled_) return ReplyFault::None;
    const std::pair<double, ReplyFault> kinds[] = {
        {rates_.lost, ReplyFault::Lost},           {rates_.late, ReplyFault::Late},
        {rates_.truncated, ReplyFault::Truncated}, {rates_.corrupted, ReplyFault::Corrupted},
        {rates_.wrongAck, ReplyFault::WrongAck},   {rates_.wrongOpcode, ReplyFault::WrongOpcode},
    };
    for (const auto& [p, kind] : kinds) {
        if (prng_.chance(p)) {
            count(toString(kind));
            return kind;
        }
    }
    return ReplyFault::None;
}

bool FaultInjector::drawBridgeFailure(BridgeOp op) {
    if (!enabled_ || op == BridgeOp::Read || !prng_.chance(rates_.bridgeCall)) return false;
    count(toString(op));
    return true;
}

bool FaultInjector::drawUnplug(int& forMs) {
    if (!enabled_ || !prng_.chance(rates_.unplug)) return false;
    forMs = static_cast<int>(prng_.between(rates_.unplugMinMs, rates_.unplugMaxMs));
    count("unplug");
    return true;
}

bool FaultInjector::drawProbeError() {
    if (!enabled_ || !prng_.chance(rates_.probeError)) return false;
    count("probe error");
    return true;
}

bool FaultInjector::drawThermocoupleDetached(int& forMs) {
    if (!enabled_ || !prng_.chance(rates_.thermocoupleDetached)) return false;
    forMs = static_cast<int>(prng_.between(rates_.detachedMinMs, rates_.detachedMaxMs));
    count("thermocouple detached");
    return true;
}

bool FaultInjector::drawHeaterDead(Heater& which, int& forMs) {
    if (!enabled_ || !prng_.chance(rates_.heaterDead)) return false;
    which = prng_.between(0, 1) == 0 ? Heater::Upper : Heater::Lower;
    forMs = static_cast<int>(prng_.between(rates_.heaterDeadMinMs, rates_.heaterDeadMaxMs));
    count("heater dead");
    return true;
}

std::uint64_t FaultInjector::totalInjected() const {
    std::uint64_t n = 0;
    for (const auto& [k, v] : injected_) n += v;
    return n;
}

}  // namespace simulator

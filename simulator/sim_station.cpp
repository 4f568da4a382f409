#include "simulator/sim_station.h"

#include "simulator/factory_data.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace simulator {

namespace {
constexpr std::uint8_t kStart = 0xAA;
constexpr std::uint8_t kAck = 0x55;
constexpr int kMinGapMs = 10;
constexpr int kProfilePayloadGapMs = 500;
constexpr std::size_t kProfilePayload = 81;
// A frame that stops arriving for this long is dropped, as the station's receiver does.
constexpr int kFrameTimeoutMs = 1000;
constexpr std::size_t kHistory = 4096;
// The newest violations with their words; violationCount() counts them all. A demo left
// running against a faulty line keeps no more than these.
constexpr std::size_t kViolationsKept = 256;

bool isProfileWrite(std::uint8_t op) { return op >= 0xA5 && op <= 0xA7; }
bool isProfileRead(std::uint8_t op) { return op >= 0xE5 && op <= 0xE7; }

std::string hex(std::uint8_t b) {
    char s[8];
    std::snprintf(s, sizeof s, "0x%02X", b);
    return s;
}
}  // namespace

const char* toString(Violation::Kind kind) {
    switch (kind) {
        case Violation::Kind::BadStartByte: return "bad start byte";
        case Violation::Kind::BadChecksum: return "bad checksum";
        case Violation::Kind::BadLength: return "bad packet length";
        case Violation::Kind::UnknownOpcode: return "unknown opcode";
        case Violation::Kind::PacingTooShort: return "byte sent too soon";
        case Violation::Kind::FrameOverUnreadReply: return "frame sent over an unread reply";
    }
    return "?";
}

SimStation::SimStation(platform::Clock& clock, int firmwareVersion, std::uint64_t seed)
    : clock_(clock), faults_(seed), firmware_(firmwareVersion), settings_(factorySettings()) {
    for (int slot = 1; slot <= 3; ++slot) profiles_[std::size_t(slot - 1)] = factoryProfile(slot);
}

int SimStation::replyTimeoutFor(std::uint8_t opcode) {
    if (opcode == 0x01) return 50;
    if (opcode == 0xA0) return 500;
    if (opcode == 0x50) return 10000;
    if (isProfileRead(opcode)) return 10000;
    if (isProfileWrite(opcode)) return 20000;
    return 2000;
}

int SimStation::answerDelayFor(std::uint8_t opcode) {
    if (opcode == 0x50) return 120;           // EEPROM store
    if (isProfileWrite(opcode)) return 1500;  // profile store
    if (isProfileRead(opcode)) return 12;     // 85 bytes on the line
    return 3;
}

void SimStation::violate(Violation::Kind kind, std::string detail) {
    violations_.push_back({kind, clock_.nowMs(), std::move(detail), tainted_});
    ++violationCount_;
    if (violations_.size() > kViolationsKept) violations_.pop_front();
}

std::uint64_t SimStation::framesWithOpcode(std::uint8_t opcode) const {
    auto it = opcodeCounts_.find(opcode);
    return it == opcodeCounts_.end() ? 0 : it->second;
}

void SimStation::unplug() {
    plugged_ = false;
    tainted_ = true;
    frame_.clear();
    frameTimes_.clear();
    toHost_.clear();
}

void SimStation::replug() {
    if (plugged_) return;
    plugged_ = true;
    ++plugGeneration_;
}

void SimStation::setBoardTemperature(double c) {
    updateFaults();
    thermal_.setTemperature(clock_.nowMs(), c);
    probe_.settle(clock_.nowMs());
}

void SimStation::setHeaters(int lowerLevel, int upperLevel) {
    updateFaults();  // a fault that healed before now healed under the old levels
    lower_ = std::clamp(lowerLevel, 1, 4);
    upper_ = std::clamp(upperLevel, 1, 3);
    updateThermalInputs();
}

double SimStation::boardTemperature() {
    updateFaults();
    thermal_.advanceTo(clock_.nowMs());
    return thermal_.temperature();
}

double SimStation::thermocoupleReading() {
    const double board = boardTemperature();
    return probe_.reading(clock_.nowMs(), board);
}

void SimStation::updateThermalInputs() {
    updateFaults();
    thermal_.setInputs(clock_.nowMs(), deadApplied_[1] ? 1 : lower_, deadApplied_[0] ? 1 : upper_, fan_);
}

void SimStation::setThermocoupleDetached(bool on) {
    updateFaults();
    detached_.byHand = on;
    applyFaults(clock_.nowMs());
}

bool SimStation::thermocoupleDetached() {
    updateFaults();
    return detached_.on();
}

void SimStation::setHeaterDead(Heater which, bool on) {
    updateFaults();
    dead(which).byHand = on;
    applyFaults(clock_.nowMs());
}

bool SimStation::heaterDead(Heater which) {
    updateFaults();
    return dead(which).on();
}

void SimStation::updateFaults() {
    const std::int64_t now = clock_.nowMs();
    LastingFault* faults[] = {&detached_, &dead_[0], &dead_[1]};
    if (!faults_.enabled())
        for (LastingFault* f : faults) f->injectedUntilMs = std::min(f->injectedUntilMs, now);
    for (;;) {
        LastingFault* first = nullptr;
        for (LastingFault* f : faults)
            if (f->injectedUntilMs >= 0 && f->injectedUntilMs <= now &&
                (!first || f->injectedUntilMs < first->injectedUntilMs))
                first = f;
        if (!first) break;
        const std::int64_t at = first->injectedUntilMs;
        first->injectedUntilMs = -1;
        applyFaults(at);
    }
}

void SimStation::applyFaults(std::int64_t atMs) {
    const std::array<bool, 2> deadNow{dead_[0].on(), dead_[1].on()};
    if (deadNow != deadApplied_) {
        deadApplied_ = deadNow;
        thermal_.setInputs(atMs, deadNow[1] ? 1 : lower_, deadNow[0] ? 1 : upper_, fan_);
    } else {
        thermal_.advanceTo(atMs);
    }
    probe_.setDetached(atMs, thermal_.temperature(), detached_.on());
}

void SimStation::drawLastingFaults() {
    const std::int64_t now = clock_.nowMs();
    int forMs = 0;
    if (detached_.injectedUntilMs < 0 && faults_.drawThermocoupleDetached(forMs)) {
        detached_.injectedUntilMs = now + forMs;
        applyFaults(now);
    }
    Heater which = Heater::Upper;
    if (dead_[0].injectedUntilMs < 0 && dead_[1].injectedUntilMs < 0 && faults_.drawHeaterDead(which, forMs)) {
        dead(which).injectedUntilMs = now + forMs;
        applyFaults(now);
    }
}

bool SimStation::hostRead(std::uint8_t& byte) {
    if (toHost_.empty()) return false;
    byte = toHost_.front();
    toHost_.pop_front();
    return true;
}

void SimStation::hostWrite(std::uint8_t byte) {
    if (!plugged_) return;
    const std::int64_t now = clock_.nowMs();
    const std::int64_t gap = now - lastByteMs_;
    if (!frame_.empty() && gap > kFrameTimeoutMs) {  // an abandoned frame
        frame_.clear();
        frameTimes_.clear();
        lastByteMinGapMs_ = 0;
    }
    if (gap < lastByteMinGapMs_) {
        violate(Violation::Kind::PacingTooShort,
                "byte " + hex(byte) + " came " + std::to_string(gap) + " ms after the previous one (needs " +
                    std::to_string(lastByteMinGapMs_) + ")");
    }
    lastByteMs_ = now;
    lastByteMinGapMs_ = kMinGapMs;

    if (frame_.empty()) {
        if (byte != kStart) {
            violate(Violation::Kind::BadStartByte, "expected 0xAA, got " + hex(byte));
            lastByteMinGapMs_ = 0;  // a byte thrown away sets no pace for the next one
            return;
        }
        if (repliesInFlight_ > 0 || !toHost_.empty()) {
            violate(Violation::Kind::FrameOverUnreadReply,
                    std::to_string(toHost_.size()) + " reply bytes unread, " + std::to_string(repliesInFlight_) +
                        " replies still coming");
        } else {
            tainted_ = false;  // the line is settled again
        }
    }
    frame_.push_back(byte);
    frameTimes_.push_back(now);

    // A profile write goes out as start byte, short pause, three header bytes back to
    // back, then one payload byte every 500 ms.
    const std::size_t n = frame_.size();
    if (n >= 4 && isProfileWrite(frame_[3])) {
        lastByteMinGapMs_ = (n == 4) ? 0 : kProfilePayloadGapMs;
    } else if (n <= 3) {
        lastByteMinGapMs_ = 0;  // judged once the opcode is known
    }
    if (n == 4) checkPacing();

    if (n == 3 && (frame_[2] == 0 || frame_[2] > 1 + kProfilePayload)) {
        violate(Violation::Kind::BadLength, "packet length " + std::to_string(frame_[2]));
        frame_.clear();
        frameTimes_.clear();
        return;
    }
    if (n >= 4 && n == std::size_t(3) + frame_[2]) completeFrame();
}

void SimStation::checkPacing() {
    // The header of an ordinary frame is paced like every other byte.
    if (isProfileWrite(frame_[3])) return;
    for (std::size_t i = 1; i < 4; ++i) {
        const std::int64_t gap = frameTimes_[i] - frameTimes_[i - 1];
        if (gap < kMinGapMs) {
            violate(Violation::Kind::PacingTooShort, "header byte " + std::to_string(i) + " came " +
                                                         std::to_string(gap) + " ms after the previous one");
        }
    }
    lastByteMinGapMs_ = kMinGapMs;
}

void SimStation::completeFrame() {
    updateFaults();  // before a command changes the heaters or the fan
    std::vector<std::uint8_t> frame;
    frame.swap(frame_);
    frameTimes_.clear();
    frames_.push_back({frame, clock_.nowMs()});
    ++frameCount_;
    if (frames_.size() > kHistory) frames_.pop_front();

    unsigned sum = frame[2];
    for (std::size_t i = 3; i < frame.size(); ++i) sum += frame[i];
    if ((sum % 256) != frame[1]) {
        violate(Violation::Kind::BadChecksum,
                "checksum " + std::to_string(frame[1]) + ", expected " + std::to_string(sum % 256));
        return;
    }
    const std::uint8_t opcode = frame[3];
    ++opcodeCounts_[opcode];
    const std::vector<std::uint8_t> payload(frame.begin() + 4, frame.end());

    int unplugFor = 0;
    if (faults_.drawUnplug(unplugFor)) {
        unplug();
        clock_.schedule(unplugFor, [this] { replug(); });
        return;
    }
    bool answer = true;
    std::vector<std::uint8_t> bytes = execute(opcode, payload, answer);
    if (!answer || silent_) return;
    sendReply(opcode, std::move(bytes));
}

std::vector<std::uint8_t> SimStation::reply(std::uint8_t opcode, const std::vector<std::uint8_t>& data) const {
    std::vector<std::uint8_t> out;
    out.reserve(4 + data.size());
    out.push_back(kAck);
    out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(1 + data.size()));
    out.push_back(opcode);
    for (std::uint8_t b : data) out.push_back(b);
    unsigned sum = out[2] + out[3];
    for (std::uint8_t b : data) sum += b;
    out[1] = static_cast<std::uint8_t>(sum % 256);
    return out;
}

std::vector<std::uint8_t> SimStation::execute(std::uint8_t opcode, const std::vector<std::uint8_t>& payload,
                                              bool& answer) {
    const std::size_t settingsBytes = firmware_ >= 7 ? 15 : 13;
    auto expectPayload = [&](std::size_t n) {
        if (payload.size() == n) return true;
        violate(Violation::Kind::BadLength, "opcode " + hex(opcode) + " with " + std::to_string(payload.size()) +
                                                " payload bytes, expected " + std::to_string(n));
        answer = false;
        return false;
    };
    switch (opcode) {
        case 0x01: {
            if (!expectPayload(0)) return {};
            updateFaults();
            drawLastingFaults();
            const bool probe = probeError_ || faults_.drawProbeError();
            const long t = std::lround(std::clamp(thermocoupleReading(), 0.0, 511.0));
            const std::uint8_t lo = probe ? 0 : std::uint8_t(t % 256);
            const std::uint8_t hi = probe ? 2 : std::uint8_t(t / 256);
            return reply(opcode, {lo, hi, std::uint8_t(lower_), std::uint8_t(upper_), std::uint8_t(machineMode_),
                                  std::uint8_t(fan_ ? 1 : 0)});
        }
        case 0xC8:
            if (!expectPayload(0)) return {};
            return reply(opcode, {0x12, 0x34, identity_[0], identity_[1], std::uint8_t(firmware_)});
        case 0xA0: {
            if (!expectPayload(0)) return {};
            return reply(opcode, std::vector<std::uint8_t>(settings_.begin(), settings_.begin() + settingsBytes));
        }
        case 0x50:
            if (!expectPayload(settingsBytes)) return {};
            std::copy(payload.begin(), payload.end(), settings_.begin());
            if (onStored_) onStored_();
            answer = firmware_ >= 6;
            return reply(opcode, {});
        case 0xF1: upper_ = std::min(upper_ + 1, 3); break;
        case 0xF2: upper_ = std::max(upper_ - 1, 1); break;
        case 0xF3: lower_ = std::min(lower_ + 1, 4); break;
        case 0xF4: lower_ = std::max(lower_ - 1, 1); break;
        case 0xF6: fan_ = !fan_; break;
        case 0xF9: ++logClears_; break;
        case 0xF5: signedOff_ = true; break;
        default:
            if (isProfileWrite(opcode)) {
                if (!expectPayload(kProfilePayload)) return {};
                std::copy(payload.begin(), payload.end(), profile(opcode - 0xA4).begin());
                if (onStored_) onStored_();
                return reply(opcode, {});
            }
            if (isProfileRead(opcode)) {
                if (!expectPayload(0)) return {};
                const auto& p = profile(opcode - 0xE4);
                std::vector<std::uint8_t> data(p.begin(), p.end());
                auto out = reply(opcode, data);
                out[2] = 82;  // packet length: opcode + 81 payload bytes
                return out;
            }
            violate(Violation::Kind::UnknownOpcode, "opcode " + hex(opcode));
            answer = false;
            return {};
    }
    if (!expectPayload(0)) return {};
    if (opcode != 0xF9 && opcode != 0xF5) updateThermalInputs();
    return reply(opcode, {});
}

void SimStation::sendReply(std::uint8_t opcode, std::vector<std::uint8_t> bytes) {
    int delay = answerDelayFor(opcode);
    const ReplyFault fault = faults_.drawReplyFault();
    if (fault != ReplyFault::None) tainted_ = true;
    switch (fault) {
        case ReplyFault::None: break;
        case ReplyFault::Lost: return;
        case ReplyFault::Late: {
            // The program starts its reply wait only after the pacing wait that follows the
            // last byte (half a second for a profile write), so late means later than both.
            const int lastPacing = isProfileWrite(opcode) ? kProfilePayloadGapMs : kMinGapMs;
            delay = lastPacing + replyTimeoutFor(opcode) + int(faults_.between(50, 1500));
            break;
        }
        case ReplyFault::Truncated: bytes.resize(std::size_t(faults_.between(1, std::int64_t(bytes.size()) - 1))); break;
        case ReplyFault::Corrupted: {
            const std::size_t i = std::size_t(faults_.between(1, std::int64_t(bytes.size()) - 1));
            bytes[i] ^= std::uint8_t(faults_.between(1, 255));
            break;
        }
        case ReplyFault::WrongAck: bytes[0] = 0x54; break;
        case ReplyFault::WrongOpcode: bytes[3] ^= 0x01; break;
    }
    ++repliesInFlight_;
    const std::uint64_t generation = plugGeneration_;
    clock_.schedule(delay, [this, generation, bytes = std::move(bytes)] {
        --repliesInFlight_;
        if (!plugged_ || generation != plugGeneration_) return;  // the cable was pulled meanwhile
        toHost_.insert(toHost_.end(), bytes.begin(), bytes.end());
    });
}

}  // namespace simulator

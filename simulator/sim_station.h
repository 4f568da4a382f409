#pragma once
#include "platform/clock.h"
#include "simulator/fault_injector.h"
#include "simulator/thermal_model.h"
#include "simulator/thermocouple.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace simulator {

// Something the program did that a real station would not put up with.
struct Violation {
    enum class Kind { BadStartByte, BadChecksum, BadLength, UnknownOpcode, PacingTooShort, FrameOverUnreadReply };
    Kind kind;
    std::int64_t atMs;
    std::string detail;
    // An injected fault (lost or late reply, failing bridge call, pulled cable) had left the
    // line unsettled when this happened, so the program may not be to blame.
    bool faultInduced = false;
};
const char* toString(Violation::Kind kind);

// A frame as the station received it, with the time of its last byte.
struct ReceivedFrame {
    std::vector<std::uint8_t> bytes;
    std::int64_t atMs;
};

// The KR-9300 as the program sees it over the bridge: it takes the program's bytes as
// they are written, checks them, and answers complete, well-formed frames after its
// own processing time. All timing goes through the clock.
class SimStation {
public:
    explicit SimStation(platform::Clock& clock, int firmwareVersion = 7, std::uint64_t seed = 1);

    // --- the host side of the line (used by SimBridge) ---
    void hostWrite(std::uint8_t byte);
    std::size_t hostAvailable() const { return toHost_.size(); }
    bool hostRead(std::uint8_t& byte);
    void hostPurgeRx() { toHost_.clear(); }

    // --- the cable ---
    bool plugged() const { return plugged_; }
    void unplug();
    void replug();
    // Counts plug-ins, so a bridge can tell its handle belongs to an earlier connection.
    std::uint64_t plugGeneration() const { return plugGeneration_; }

    // --- the station's own front panel ---
    void setMachineMode(int mode) { machineMode_ = mode; }
    int machineMode() const { return machineMode_; }
    void setProbeError(bool on) { probeError_ = on; }
    bool probeError() const { return probeError_; }
    void setFirmwareVersion(int v) { firmware_ = v; }
    int firmwareVersion() const { return firmware_; }
    void setIdentity(std::uint8_t a, std::uint8_t b) { identity_ = {a, b}; }
    void setSilent(bool on) { silent_ = on; }  // attached but never answers
    void setBoardTemperature(double c);
    void setHeaters(int lowerLevel, int upperLevel);

    // --- faults of the bench: switches of our own; the fault injector also sets them for a while ---
    // The thermocouple off the board: the reading falls to the room's air, the board heats on.
    void setThermocoupleDetached(bool on);
    bool thermocoupleDetached();
    // A dead heater element: the station still reports and steps its level, but it gives no heat.
    void setHeaterDead(Heater which, bool dead);
    bool heaterDead(Heater which);

    // --- what the station holds ---
    int upperLevel() const { return upper_; }
    int lowerLevel() const { return lower_; }
    bool fanOn() const { return fan_; }
    // The board itself, whatever the thermocouple says.
    double boardTemperature();
    // What the thermocouple reads: what a status reply reports unless the probe reads open.
    double thermocoupleReading();
    bool signedOff() const { return signedOff_; }
    int logClears() const { return logClears_; }
    std::array<std::uint8_t, 16>& settings() { return settings_; }
    std::array<std::uint8_t, 81>& profile(int slot) { return profiles_[std::size_t(slot - 1)]; }
    // Called each time the station has stored its settings block or a profile slot.
    void setStoredHandler(std::function<void()> handler) { onStored_ = std::move(handler); }

    // --- checks and history ---
    // The most recent violations (the newest 256) and frames (a few thousand).
    const std::deque<Violation>& violations() const { return violations_; }
    std::uint64_t violationCount() const { return violationCount_; }
    void clearViolations() { violations_.clear(); }
    const std::deque<ReceivedFrame>& frames() const { return frames_; }
    std::uint64_t frameCount() const { return frameCount_; }
    // A fault injected outside the station (by the bridge) unsettles the line too.
    void noteFault() { tainted_ = true; }
    std::uint64_t framesWithOpcode(std::uint8_t opcode) const;
    FaultInjector& faults() { return faults_; }

    // The program's reply timeout per opcode; a late reply comes after it.
    static int replyTimeoutFor(std::uint8_t opcode);
    // The station's own time to answer, in ms.
    static int answerDelayFor(std::uint8_t opcode);

private:
    void violate(Violation::Kind kind, std::string detail);
    void checkPacing();
    void completeFrame();
    std::vector<std::uint8_t> execute(std::uint8_t opcode, const std::vector<std::uint8_t>& payload, bool& answer);
    std::vector<std::uint8_t> reply(std::uint8_t opcode, const std::vector<std::uint8_t>& data) const;
    void sendReply(std::uint8_t opcode, std::vector<std::uint8_t> bytes);
    void updateThermalInputs();

    // A fault that lasts: switched on by hand, or injected until a given time (-1: not injected).
    struct LastingFault {
        bool byHand = false;
        std::int64_t injectedUntilMs = -1;
        bool on() const { return byHand || injectedUntilMs >= 0; }
    };
    // Heals the injected faults that are over (all of them once the injector is off), each at
    // its own moment, so that the board and the reading are exact afterwards.
    void updateFaults();
    // Brings the thermal model and the thermocouple in line with the faults at time atMs.
    void applyFaults(std::int64_t atMs);
    void drawLastingFaults();
    LastingFault& dead(Heater which) { return dead_[which == Heater::Upper ? 0 : 1]; }

    platform::Clock& clock_;
    FaultInjector faults_;
    ThermalModel thermal_;
    Thermocouple probe_;
    LastingFault detached_;
    std::array<LastingFault, 2> dead_;                  // upper, lower
    std::array<bool, 2> deadApplied_{false, false};     // what the thermal model was last given
    std::function<void()> onStored_;

    // frame being received
    std::vector<std::uint8_t> frame_;
    std::vector<std::int64_t> frameTimes_;
    std::int64_t lastByteMs_ = -1000000;
    int lastByteMinGapMs_ = 0;

    std::deque<std::uint8_t> toHost_;
    int repliesInFlight_ = 0;
    bool plugged_ = true;
    std::uint64_t plugGeneration_ = 1;
    bool silent_ = false;

    int firmware_;
    std::array<std::uint8_t, 2> identity_{7, 42};
    std::array<std::uint8_t, 16> settings_;
    std::array<std::array<std::uint8_t, 81>, 3> profiles_;
    int upper_ = 1;
    int lower_ = 1;
    bool fan_ = false;
    int machineMode_ = 1;
    bool probeError_ = false;
    bool signedOff_ = false;
    int logClears_ = 0;

    std::deque<Violation> violations_;
    std::uint64_t violationCount_ = 0;
    std::deque<ReceivedFrame> frames_;
    std::uint64_t frameCount_ = 0;
    bool tainted_ = false;
    std::map<std::uint8_t, std::uint64_t> opcodeCounts_;
};

}  // namespace simulator

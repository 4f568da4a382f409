#pragma once
#include "core/shared_state.h"
#include "link/link.h"
#include "link/poller.h"
#include "platform/virtual_clock.h"
#include "simulator/sim_station.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace testsupport {

// The parts of a running program the fault simulation drives and watches.
struct RunView {
    core::SharedState& state;
    platform::VirtualClock& clock;
    simulator::SimStation& station;
    stationlink::Link& link;
    stationlink::Poller& poller;
    // Presses operator button k (0..kButtons-1) the way the program's window would.
    std::function<void(int button)> press;
    int buttons = 6;
    // More of the operator's hand (the profile half), its promises, and its wind-down before
    // the program is judged healthy again; each may be empty.
    using Trace = std::function<void(const std::string&)>;
    std::function<void(const Trace&)> hand;
    std::function<std::string()> handCheck;
    std::function<void(const Trace&)> windDown;
};

struct FaultRunConfig {
    std::uint64_t seed = 1;
    int faultMinutes = 10;
    double faultRate = 0.02;
};

struct FaultRunResult {
    bool ok = true;
    std::string failure;       // the first broken promise, with the seed
    std::string lastEvents;    // what happened just before it
    std::uint64_t traceHash = 0;
    std::uint64_t ticks = 0;
    std::uint64_t tolerated = 0;  // protocol complaints that followed injected faults
    std::map<std::string, std::uint64_t> faults;
};

// Runs the program against the station with faults drawn from the seed for the given
// virtual minutes, operator buttons pressed at random, then healthy again; checks the
// program's promises after every tick.
FaultRunResult runFaultSimulation(const RunView& view, const FaultRunConfig& config);

// Button presses for a program without its window: what the five heater and fan
// buttons and "Clear Log" do to the request table.
std::function<void(int)> requestTablePresser(core::SharedState& state);

}  // namespace testsupport

#pragma once
// The operator's hand on the profile half during a fault run: the editor (open, close, fill,
// retrieve, save, run, OK, Cancel, Stop) and the defaults tool (open, upload, exit), some of
// it while a transaction's wait is pumping events; and the promises of the profile half,
// checked after every tick.
#include "simulator/prng.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace app {
class Program;
}
namespace simulator {
class SimStation;
}
namespace platform {
class VirtualClock;
}

namespace testsupport {

class ProfileHand {
public:
    ProfileHand(app::Program& program, platform::VirtualClock& clock, simulator::SimStation& station,
                std::uint64_t seed);

    // Maybe does something, as an operator at the bench would; some actions are left to
    // run inside the next tick's waits.
    void act(const std::function<void(const std::string&)>& trace);
    // The first broken promise, or empty.
    std::string check();
    // Ends a run and leaves the editor, before the program is judged healthy again.
    void windDown(const std::function<void(const std::string&)>& trace);

    // The self-tests: a Stop that leaves ProfileRunActive and the steps up as they were, and a
    // completion watch that takes a served request for a success.
    void breakStop() { brokenStop_ = true; }
    void breakWatch() { carelessWatch_ = true; }

    const std::map<std::string, std::uint64_t>& actions() const { return actions_; }

private:
    void count(const std::string& what) { ++actions_[what]; }
    void onEditorOpened();
    void fillProfile();
    void editorAction(const std::function<void(const std::string&)>& trace);
    void defaultsVisit(const std::function<void(const std::string&)>& trace);
    void scheduleInWait(const std::function<void(const std::string&)>& trace);
    void allowSlot(int slot) { slotMayChange_[std::size_t(slot - 1)] = true; }
    std::string checkPanel();
    std::string checkLock();
    std::string checkSlots();
    std::string checkRunEvent(const std::string& e);

    app::Program& program_;
    platform::VirtualClock& clock_;
    simulator::SimStation& station_;
    simulator::Prng dice_;
    std::map<std::string, std::uint64_t> actions_;
    bool brokenStop_ = false;
    bool carelessWatch_ = false;

    // What the checks remember.
    void* editorSeen_ = nullptr;  // the editor the observer was given to
    bool editorWasOpen_ = false;
    bool plottingBefore_ = false;
    std::string lastPanel_;
    std::int64_t lockedSinceMs_ = -1;
    int givenUpTicks_ = 0;
    std::int16_t lockState_ = 0;
    std::array<std::array<std::uint8_t, 81>, 3> slots_{};
    std::array<bool, 3> slotMayChange_{};
    std::string runFailure_;
    std::string requestBeforeState_;  // a heater step asked outside a stepping state, awaiting the next state
};

}  // namespace testsupport

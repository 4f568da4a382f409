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
namespace profiles {
class Profile_Editor_Form;
}

namespace testsupport {

class ScriptedDialogs;

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

    // The soak's hand instead of the dice: a station save every saveEveryMs and a run every
    // runEveryMs of virtual time (the first run after firstRunMs), the editor opened for them
    // and left once they are done.
    void keepSchedule(std::int64_t saveEveryMs, std::int64_t runEveryMs, std::int64_t firstRunMs);

    // The self-tests: a Stop that leaves ProfileRunActive and the steps up as they were, and a
    // completion watch that takes a served request for a success.
    void breakStop() { brokenStop_ = true; }
    // A run without its guard.
    void breakGuard() { brokenGuard_ = true; }
    void breakWatch() { carelessWatch_ = true; }

    const std::map<std::string, std::uint64_t>& actions() const { return actions_; }

    // The program's dialogs, so that the hand answers the questions its own clicks raise
    // (the editor's unsaved changes, the defaults tool's uploads).
    void setDialogs(ScriptedDialogs* dialogs) { dialogs_ = dialogs; }

private:
    void count(const std::string& what) { ++actions_[what]; }
    // Answers a question the last click left waiting: a save question mostly with Don't Save
    // (sometimes Cancel or Save, whose file dialog is then cancelled), any other with Yes.
    void answerQuestion(bool surely = false);
    // A click, and the question it raised (if any) answered.
    void clickAndAnswer(const std::function<void()>& click, bool surely = false);
    void onEditorOpened();
    void fillProfile(bool runnable = false);  // runnable: every message filled in
    void editorAction(const std::function<void(const std::string&)>& trace);
    void defaultsVisit(const std::function<void(const std::string&)>& trace);
    void actOnSchedule(const std::function<void(const std::string&)>& trace);
    void patientStep(const std::function<void(const std::string&)>& trace);
    void setStationMode(profiles::Profile_Editor_Form& e);
    void beginQuietSpell();
    void endQuietSpell();
    void scheduleInWait(const std::function<void(const std::string&)>& trace);
    void allowSlot(int slot) { slotMayChange_[std::size_t(slot - 1)] = true; }
    std::string checkPanel();
    std::string checkLock();
    std::string checkSlots();
    std::string checkRunEvent(const std::string& e);
    std::string checkHeat();

    ScriptedDialogs* dialogs_ = nullptr;
    app::Program& program_;
    platform::VirtualClock& clock_;
    simulator::SimStation& station_;
    simulator::Prng dice_;
    std::map<std::string, std::uint64_t> actions_;
    bool brokenStop_ = false;
    bool brokenGuard_ = false;
    bool carelessWatch_ = false;

    // The schedule, when one is kept: what is due and when the next comes.
    bool scheduled_ = false;
    std::int64_t saveEveryMs_ = 0, runEveryMs_ = 0, nextSaveMs_ = 0, nextRunMs_ = 0;
    int savesDue_ = 0, runsDue_ = 0, savesMade_ = 0;

    bool quiet_ = false;       // the station's faults are paused until the transfer is over
    bool patientRun_ = false;  // the run under way is seen through, no Stop nor Cancel

    // What the checks remember.
    void* editorSeen_ = nullptr;  // the editor the observer was given to
    bool recordOfThisRun_ = false;  // the run under way has begun a record of its own
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
    // The heat watch: since when a running run has heated with the probe lost, without a
    // rise in an approach (and the lowest reading since), and with the board past X3 + margin.
    std::int64_t probeLostFromMs_ = -1, noRiseFromMs_ = -1, overshootFromMs_ = -1;
    int noRiseFromC_ = 0;
    std::int16_t heatState_ = -1;
};

}  // namespace testsupport

#pragma once
#include "core/shared_state.h"
#include "link/departure.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <functional>
#include <memory>
#include <optional>

namespace app {

// What the question needs to know of the program around it.
struct ExitHooks {
    std::function<void()> leave;            // leaving as usual (the orderly exit)
    std::function<bool()> runUnderWay;      // a profile run is going
    std::function<void()> stopRun;          // stops it, as "Stop" does
    // The time until the slot write under way is over; nothing when none is.
    std::function<std::optional<std::int64_t>()> saveMsLeft;
};

// Leaving (File > Exit or the close box) while a run goes or a heater is on asks first.
// A run: stop it and go on, or stay. A heater: Yes steps both heaters down until the
// station reports them OFF and then leaves as usual; No leaves as usual; Cancel stays.
// The switch-off is shown in the exit window; its time limit counts from when the first
// step down could be sent, not while a slot write holds the link. A switch-off that the
// station does not complete (no OFF within the limit, or the station gone offline) is told
// plainly and the program stays open.
class ExitQuestion {
public:
    ExitQuestion(core::SharedState& state, platform::Clock& clock, platform::Dialogs& dialogs, ExitHooks hooks,
                 stationlink::ProgramControl& program, stationlink::ExitWarning& warning);

    void requestExit();
    bool switchingOff() const { return watch_->enabled(); }
    bool asking() const { return asking_; }

    static constexpr const char* kTitle = "Exit";
    static constexpr const char* kQuestion = "A heater is still on. Switch the heaters off before leaving?";
    static constexpr const char* kRunQuestion =
        "A profile run is under way. Leaving stops the run. Stop it and leave?";
    static constexpr const char* kSwitchingOff = "Switching the heaters OFF before leaving ...";
    static constexpr int kSwitchOffLimitMs = 30000;
    // "Heaters go OFF after the profile save ends, in 23 s"
    static QString afterSaveText(std::int64_t msLeft);

private:
    bool heaterOn() const;
    void askAboutHeaters();
    void answered(platform::Dialogs::Answer answer);
    void watch();
    void giveUp(const QString& why);
    bool linkHeldByTransfer() const;

    core::SharedState& state_;
    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    ExitHooks hooks_;
    stationlink::ProgramControl& program_;
    stationlink::ExitWarning& warning_;
    std::unique_ptr<platform::Timer> watch_;
    std::int64_t startedMs_ = 0;  // when the limit began: once a step down could be sent
    bool heldByTransfer_ = false;
    bool asking_ = false;
};

}  // namespace app

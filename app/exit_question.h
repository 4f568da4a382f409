#pragma once
#include "core/shared_state.h"
#include "link/departure.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <functional>
#include <memory>

namespace app {

// Leaving (File > Exit or the close box) while a heater is on asks first. Yes steps both
// heaters down until the station reports them OFF and then leaves as usual; No leaves as
// usual; Cancel stays. Leaving as usual is the `leave` given. A switch-off that the station does not complete (no OFF within the
// limit, or the station gone offline) is told plainly and the program stays open.
class ExitQuestion {
public:
    ExitQuestion(core::SharedState& state, platform::Clock& clock, platform::Dialogs& dialogs,
                 std::function<void()> leave, stationlink::ProgramControl& program);

    void requestExit();
    bool switchingOff() const { return watch_->enabled(); }

    static constexpr const char* kTitle = "Exit";
    static constexpr const char* kQuestion = "A heater is still on. Switch the heaters off before leaving?";
    static constexpr int kSwitchOffLimitMs = 30000;

private:
    bool heaterOn() const;
    void answered(platform::Dialogs::Answer answer);
    void watch();
    void giveUp(const QString& why);

    core::SharedState& state_;
    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    std::function<void()> leave_;
    stationlink::ProgramControl& program_;
    std::unique_ptr<platform::Timer> watch_;
    std::int64_t startedMs_ = 0;
    bool asking_ = false;
};

}  // namespace app

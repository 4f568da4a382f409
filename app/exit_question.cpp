#include "app/exit_question.h"

namespace app {

ExitQuestion::ExitQuestion(core::SharedState& state, platform::Clock& clock, platform::Dialogs& dialogs,
                           std::function<void()> leave, stationlink::ProgramControl& program)
    : state_(state), clock_(clock), dialogs_(dialogs), leave_(std::move(leave)), program_(program) {
    watch_ = clock_.createTimer(500, [this] { watch(); });
}

bool ExitQuestion::heaterOn() const {
    return state_.MachineOnline &&
           (state_.UpperHeaterMode > core::UhOff || state_.LowerHeaterMode > core::LhOff);
}

void ExitQuestion::requestExit() {
    if (asking_ || switchingOff()) return;  // already asked, or already on the way out
    if (state_.ExitStage != core::ExitIdle || !heaterOn()) {
        leave_();
        return;
    }
    asking_ = true;
    dialogs_.askYesNoCancel(kTitle, kQuestion, [this](platform::Dialogs::Answer a) {
        asking_ = false;
        answered(a);
    });
}

void ExitQuestion::answered(platform::Dialogs::Answer answer) {
    switch (answer) {
        case platform::Dialogs::Answer::Cancel: return;
        case platform::Dialogs::Answer::No: leave_(); return;
        case platform::Dialogs::Answer::Yes: break;
    }
    if (!heaterOn()) {  // switched off (or gone offline) while the question was open
        leave_();
        return;
    }
    state_.HeaterSwitchOffRequested = true;  // the poller steps them down, one a tick
    program_.setMainWindowEnabled(false);
    startedMs_ = clock_.nowMs();
    watch_->setEnabled(true);
}

void ExitQuestion::watch() {
    if (state_.ExitStage != core::ExitIdle) {  // left another way meanwhile (a signal)
        watch_->setEnabled(false);
        state_.HeaterSwitchOffRequested = false;
        return;
    }
    if (!state_.MachineOnline) {
        giveUp("The KR-9300 went offline before its heaters reported OFF, so the program stays open. "
               "Check the heaters on the station.");
        return;
    }
    if (!state_.HeaterSwitchOffRequested) {  // the poller saw both heaters OFF
        watch_->setEnabled(false);
        leave_();
        return;
    }
    if (clock_.nowMs() - startedMs_ >= kSwitchOffLimitMs)
        giveUp(QString("The heaters did not report OFF within %1 seconds, so the program stays open. "
                       "Check the heaters on the station.")
                   .arg(kSwitchOffLimitMs / 1000));
}

void ExitQuestion::giveUp(const QString& why) {
    watch_->setEnabled(false);
    state_.HeaterSwitchOffRequested = false;
    program_.setMainWindowEnabled(true);
    dialogs_.message(kTitle, why);
}

}  // namespace app

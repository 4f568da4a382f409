#include "app/exit_question.h"

namespace app {

ExitQuestion::ExitQuestion(core::SharedState& state, platform::Clock& clock, platform::Dialogs& dialogs,
                           ExitHooks hooks, stationlink::ProgramControl& program, stationlink::ExitWarning& warning)
    : state_(state), clock_(clock), dialogs_(dialogs), hooks_(std::move(hooks)), program_(program), warning_(warning) {
    watch_ = clock_.createTimer(500, [this] { watch(); });
}

QString ExitQuestion::afterSaveText(std::int64_t msLeft) {
    return QString("Heaters go OFF after the profile save ends, in %1 s").arg((msLeft + 999) / 1000);
}

bool ExitQuestion::heaterOn() const {
    return state_.MachineOnline &&
           (state_.UpperHeaterMode > core::UhOff || state_.LowerHeaterMode > core::LhOff);
}

void ExitQuestion::requestExit() {
    if (asking_ || switchingOff()) return;  // already asked, or already on the way out
    if (state_.ExitStage != core::ExitIdle) {
        hooks_.leave();
        return;
    }
    if (hooks_.runUnderWay && hooks_.runUnderWay()) {
        asking_ = true;
        dialogs_.askYesNo(kTitle, kRunQuestion, [this](bool yes) {
            asking_ = false;
            if (!yes) return;
            if (hooks_.runUnderWay()) hooks_.stopRun();
            askAboutHeaters();
        });
        return;
    }
    askAboutHeaters();
}

void ExitQuestion::askAboutHeaters() {
    if (state_.ExitStage != core::ExitIdle || !heaterOn()) {
        hooks_.leave();
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
        case platform::Dialogs::Answer::No: hooks_.leave(); return;
        case platform::Dialogs::Answer::Yes: break;
    }
    if (!heaterOn() || state_.ExitStage != core::ExitIdle) {  // switched off, offline or leaving meanwhile
        hooks_.leave();
        return;
    }
    state_.HeaterSwitchOffRequested = true;  // the poller steps them down, one a tick
    program_.setMainWindowEnabled(false);
    warning_.showWarning();
    startedMs_ = clock_.nowMs();
    heldByTransfer_ = false;
    watch_->setEnabled(true);
    watch();
}

// A profile transfer holds the link: no step down can go out before it ends.
bool ExitQuestion::linkHeldByTransfer() const {
    return state_.ServingSlot == core::SlotProfileWrite || state_.ServingSlot == core::SlotProfileRead;
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
        hooks_.leave();
        return;
    }
    if (linkHeldByTransfer()) {
        heldByTransfer_ = true;
        const auto left = hooks_.saveMsLeft ? hooks_.saveMsLeft() : std::nullopt;
        warning_.setWarningText(left ? afterSaveText(*left) : QString("Heaters go OFF after the profile read ends"));
        return;
    }
    if (heldByTransfer_) {  // the transfer is over: from now on a step down can be sent
        heldByTransfer_ = false;
        startedMs_ = clock_.nowMs();
    }
    warning_.setWarningText(kSwitchingOff);
    if (clock_.nowMs() - startedMs_ >= kSwitchOffLimitMs)
        giveUp(QString("The heaters did not report OFF within %1 seconds, so the program stays open. "
                       "Check the heaters on the station.")
                   .arg(kSwitchOffLimitMs / 1000));
}

void ExitQuestion::giveUp(const QString& why) {
    watch_->setEnabled(false);
    state_.HeaterSwitchOffRequested = false;
    warning_.unloadWarning();
    program_.setMainWindowEnabled(true);
    dialogs_.message(kTitle, why);
}

}  // namespace app

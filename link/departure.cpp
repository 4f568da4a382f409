#include "link/departure.h"

#include "settings/limits.h"

namespace stationlink {

Departure::Departure(core::SharedState& state, Link& link, Poller& poller, StationDisplay& display,
                     ExitWarning& warning, ProgramControl& program)
    : state_(state), link_(link), poller_(poller), display_(display), warning_(warning), program_(program) {
    disconnectTimer_ = link_.clock().createTimer(200, [this] {
        disconnectTimer_->setEnabled(false);
        M_Tools_Disconnect_Click();
    });
    exitTimer_ = link_.clock().createTimer(500, [this] {
        exitTimer_->setEnabled(false);
        M_File_Exit_Click();
    });
}

void Departure::handBackAlarm() {
    auto& m = state_.MachineSettings;
    m[core::SettingsAlarmHigh] = std::uint8_t(state_.Settings.AlarmMSD);
    m[core::SettingsAlarmLow] = std::uint8_t(state_.Settings.AlarmLSD);
    if (m[core::SettingsAlarmHigh] == 0 && m[core::SettingsAlarmLow] == 0)
        m[core::SettingsAlarmLow] = settings::kDefaultAlarmC;
}

void Departure::handBackSafety() {
    auto& m = state_.MachineSettings;
    m[core::SettingsSafetyHigh] = std::uint8_t(state_.Settings.SafetySP_MSD);
    m[core::SettingsSafetyLow] = std::uint8_t(state_.Settings.SafetySP_LSD);
    if (m[core::SettingsSafetyHigh] == 0 && m[core::SettingsSafetyLow] == 0)
        m[core::SettingsSafetyLow] = settings::kDefaultSafetyC;
}

// The station holds the operator's thresholds now: a reconnect may take its values again.
void Departure::handedBack() {
    state_.AlarmHandBackPending = false;
    state_.SafetyHandBackPending = false;
}

void Departure::closeAndReport() {
    const bool wasOpen = state_.PortOpen;
    if (!link_.closePort() && wasOpen) state_.Diagnostics.add("Port CLose Failed");
}

void Departure::showOffline() {
    state_.MachineOnline = false;
    poller_.showOffline();
}

void Departure::M_Tools_Disconnect_Click() {
    // Runs from a menu entry as well as from its timer: an end during its waits stops it here.
    platform::stopAtEnd([this] { disconnect(); });
}

void Departure::disconnect() {
    state_.ConnectRequested = false;
    state_.ManualDisconnectMode = true;
    if (state_.ExitStage != core::DisconnectRunning) {
        linkUpAtDisconnect_ = state_.MachineOnline;
        program_.setMainWindowEnabled(false);
        warning_.showWarning();
        warning_.setWarningText(kHandingBackText);
        state_.ExitStage = core::DisconnectRunning;
    }
    if (state_.PollerBusy) {
        disconnectTimer_->setEnabled(true);  // a tick is running: try again in 200 ms
        return;
    }
    state_.PollerBusy = true;
    poller_.USB_Service_Timer().setEnabled(false);

    handBackAlarm();
    handBackSafety();
    for (int n = 0; n < 10; ++n) {
        state_.CommandSucceeded = false;
        link_.WriteSettings();
        if (state_.CommandSucceeded) break;
        state_.Diagnostics.add("EEPROM Reload Error " + QString::number(n));
    }
    if (state_.CommandSucceeded) handedBack();
    platform::Timer& wait = link_.Timer1();
    wait.setInterval(3000);
    wait.tag = false;
    wait.setEnabled(true);
    while (!wait.tag) link_.clock().waitNext(3000);
    link_.SignOff();

    warning_.stopWarningTimer();
    warning_.unloadWarning();
    program_.setMainWindowEnabled(true);
    showOffline();
    if (linkUpAtDisconnect_) closeAndReport();
    state_.ExitStage = core::ExitIdle;
}

void Departure::M_File_Exit_Click() {
    if (state_.ExitStage != core::ExitWritingSettings && state_.ExitStage != core::ExitSigningOff) {
        state_.SettingsWritten = false;
        state_.ReleaseDone = false;
        if (!state_.MachineOnline) {
            closeAndReport();
            leave();
            return;
        }
        state_.ManualDisconnectMode = false;
        program_.setMainWindowEnabled(false);
        warning_.showWarning();
        warning_.setWarningText(kHandingBackText);
        handBackAlarm();
        handBackSafety();
        state_.RequestFlags[core::SlotWriteSettings] = true;
        state_.ExitStage = core::ExitWritingSettings;
    }
    if (state_.ExitStage == core::ExitWritingSettings) {
        if (!state_.SettingsWritten) {
            exitTimer_->setEnabled(true);
            return;
        }
        handedBack();
        state_.RequestFlags[core::SlotSignOff] = true;
        state_.ExitStage = core::ExitSigningOff;
    }
    if (!state_.ReleaseDone) {
        exitTimer_->setEnabled(true);
        return;
    }
    warning_.stopWarningTimer();
    warning_.unloadWarning();
    if (state_.MachineOnline) closeAndReport();
    leave();
}

void Departure::Command1_Click() {
    if (state_.ManualDisconnectMode) {
        state_.MachineOnline = false;
        warning_.unloadWarning();
        return;
    }
    leave();  // during exit: at once, without the sign-off and without closing the port
}

void Departure::EndAtOnce(bool closePort) {
    if (link_.clock().ending()) return;
    warning_.stopWarningTimer();
    warning_.unloadWarning();
    if (closePort && state_.PortOpen) closeAndReport();
    leave();
}

void Departure::leave() {
    link_.clock().endWaits();
    program_.endProgram();
}

}  // namespace stationlink

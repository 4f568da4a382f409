#include "link/poller.h"

#include "link/offline_display.h"

#include "core/temperature_bytes.h"
#include "settings/limits.h"
#include "settings/settings_file.h"
#include "settings/units.h"

namespace stationlink {

Poller::Poller(core::SharedState& state, Link& link, platform::Shell& shell, StationDisplay& display,
               settings::SettingsFile& settingsFile)
    : state_(state), link_(link), shell_(shell), display_(display), settingsFile_(settingsFile) {
    timer_ = link_.clock().createTimer(1000, [this] { USB_Service_Timer_Timer(); });
    timer_->setLoose();  // a status a second; when in the second does not matter
    timer_->setEnabled(true);
    actions_[core::SlotUpperHeaterUp] = [this] { link_.UpperHeaterUp(); };
    actions_[core::SlotUpperHeaterDown] = [this] { link_.UpperHeaterDown(); };
    actions_[core::SlotLowerHeaterUp] = [this] { link_.LowerHeaterUp(); };
    actions_[core::SlotLowerHeaterDown] = [this] { link_.LowerHeaterDown(); };
    actions_[core::SlotFan] = [this] { link_.Fan(); };
    actions_[core::SlotBeep] = [this] { shell_.beep(); };
    actions_[core::SlotWriteSettings] = [this] { link_.WriteSettings(); };
    actions_[core::SlotClearLog] = [this] { link_.ClearLog(); };
    actions_[core::SlotSignOff] = [this] { link_.SignOff(); };
}

bool Poller::boardAtSafetySetPoint(const core::SharedState& s) {
    return s.PcbTemperature >= s.Settings.SafetySP;
}

void Poller::setSafetyRule(SafetyRule rule) {
    safetyReached_ = rule ? std::move(rule) : SafetyRule(boardAtSafetySetPoint);
}

void Poller::setAction(int slot, std::function<void()> action) {
    if (slot >= 0 && slot < core::kRequestSlots) actions_[std::size_t(slot)] = std::move(action);
}

void Poller::M_Tools_Connect_Click() {
    state_.ConnectRequested = true;
    display_.setMenuEnabled(ToolsMenu::Disconnect, true);
    display_.setMenuEnabled(ToolsMenu::Connect, false);
    state_.MachineOnline = false;
    state_.UpperHeaterModeChanged = state_.LowerHeaterModeChanged = state_.MachineModeChanged = true;
    state_.PollerBusy = false;
    timer_->setEnabled(true);
}

void Poller::USB_Service_Timer_Timer() {
    if (!state_.ConnectRequested) return;
    link_.Timer2().setInterval(10);
    if (state_.PollerBusy) return;
    timer_->setEnabled(false);
    state_.PollerBusy = true;
    ++ticksRun_;
    lastPollSucceeded_ = false;
    const std::int64_t start = link_.clock().nowMs();
    tick();
    if (state_.MachineOnline) display_.setLiveValuesStale(!lastPollSucceeded_);
    lastTickMs_ = link_.clock().nowMs() - start;
    state_.PollerBusy = false;
    timer_->setEnabled(true);
}

void Poller::tick() {
    std::uint32_t waiting = 0;
    const bool linkAlive = state_.MachineOnline && link_.bridge().getQueueStatus(state_.DeviceHandle, waiting) == 0;
    if (!linkAlive) {
        if (!link_.OpenStationPort()) {
            failedAttempt();
            return;
        }
        if (!identifyAndReadSettings()) return;
    }
    if (!onlineTick()) return;
    showTemperatureAndApplyRules();
    stepHeatersOffToLeave();
    stepHeatersOffAfterRun();
    showModes();
    showFanAndSafety();
    if (state_.Settings.AutoTCPlot && state_.PcbTemperatureValid) {
        display_.addTrendSample(state_.PcbTemperature);
        link_.clock().runPending();
        display_.redrawTrend();
        if (state_.PlottedSamples < 32767) ++state_.PlottedSamples;  // never wraps negative
    }
    display_.setMenuEnabled(ToolsMenu::Defaults, true);
    display_.setMenuEnabled(ToolsMenu::Options, true);
    serveOneRequest();
}

void Poller::failedAttempt() {
    if (state_.ConnectAttempts < 10) {
        ++state_.ConnectAttempts;
        display_.setStatusPanel(1, "KR-9300 Status: Connecting " + QString(state_.ConnectAttempts, '.'));
        return;
    }
    if (!state_.MachineOnline) {
        display_.setStatusPanel(1, "KR-9300 Status: Offline");
        display_.setCaption(kOfflineCaption);
        return;
    }
    state_.MachineOnline = false;
    display_.setUpperGauge(1);
    display_.setLowerGauge(1);
    state_.PlottedSamples = 0;
    state_.TraceResetRequested = true;
    state_.UpperHeaterModeChanged = state_.LowerHeaterModeChanged = state_.MachineModeChanged = true;
    showOffline();
}

void Poller::showOffline() { showOfflineDisplay(display_); }

bool Poller::identifyAndReadSettings() {
    state_.CommandSucceeded = false;
    link_.ReadIdentification();
    if (!state_.CommandSucceeded) return false;
    display_.setStatusPanel(3, "Machine ID: " + state_.MachineId);
    display_.setStatusPanel(2, "F/W Ver.: " + QString::number(state_.FirmwareVersion));
    display_.setStatusPanel(1, "KR-9300 Status: Reading Machine Settings ... ");

    state_.CommandSucceeded = false;
    link_.ReadSettings();
    if (!state_.CommandSucceeded) return false;

    core::SettingsRecord& s = state_.Settings;
    auto& m = state_.MachineSettings;
    if (state_.FirmwareVersion == 7) takeStationSafetySetPoint();
    // A value other than the program's marker is one the operator set on the station,
    // which the program takes over, unless the operator has set one here since that the
    // station has not received yet.
    const int v = core::joinTemperature(m[core::SettingsAlarmHigh], m[core::SettingsAlarmLow]);
    if (v != core::joinTemperature(core::kProgramAlarmHigh, core::kProgramAlarmLow)) {
        const bool take = !state_.AlarmHandBackPending;
        if (take) {
            s.AlarmThreshold = std::int16_t(v);
            s.AlarmLSD = m[core::SettingsAlarmLow];
            s.AlarmMSD = m[core::SettingsAlarmHigh];
        }
        m[core::SettingsAlarmHigh] = core::kProgramAlarmHigh;
        m[core::SettingsAlarmLow] = core::kProgramAlarmLow;
        state_.CommandSucceeded = false;
        link_.WriteSettings();
        if (!state_.CommandSucceeded) return false;
        if (take) settingsFile_.Update_INI_Alarm();
    } else {
        s.AlarmThreshold = std::int16_t(core::joinTemperature(s.AlarmMSD, s.AlarmLSD));
    }
    showAlarmThreshold();
    display_.redrawTrend();
    state_.ConnectAttempts = 0;
    return true;
}

// The station's safety set point replaces the program's, unless the operator has set one
// that the station has not received yet. A replacement that changes the value is said.
void Poller::takeStationSafetySetPoint() {
    if (state_.SafetyHandBackPending) return;
    const auto& m = state_.MachineSettings;
    core::SettingsRecord& s = state_.Settings;
    const std::int16_t station =
        std::int16_t(core::joinTemperature(m[core::SettingsSafetyHigh], m[core::SettingsSafetyLow]));
    const bool changed = station != s.SafetySP;
    s.SafetySP_MSD = m[core::SettingsSafetyHigh];
    s.SafetySP_LSD = m[core::SettingsSafetyLow];
    s.SafetySP = station;
    if (changed) state_.Diagnostics.add("Safety set point from the station: " + degrees(station));
}

void Poller::showAlarmThreshold() {
    const std::int16_t t = state_.Settings.AlarmThreshold;
    if (state_.Settings.TempUnit == 0) {
        display_.showAlarmThreshold(QString::number(t), settings::kAlarmRangeC.high, t, " C");
    } else {
        const int f = settings::ToFahr(t).value_or(t);
        display_.showAlarmThreshold(QString::number(f), settings::kAlarmRangeF.high, f, " F");
    }
}

bool Poller::onlineTick() {
    state_.MachineOnline = true;
    display_.setMenuEnabled(ToolsMenu::Disconnect, true);
    display_.setMenuEnabled(ToolsMenu::Connect, false);
    display_.setStatusPanel(1, "KR-9300 Status: Online");
    display_.setCaption(kOnlineCaption);
    display_.setStationControlsEnabled(true);
    state_.CommandSucceeded = false;
    link_.PollStatus();
    lastPollSucceeded_ = state_.CommandSucceeded;
    if (lastPollSucceeded_) state_.LastStatusMs = link_.clock().nowMs();
    return state_.CommandSucceeded;
}

QString Poller::degrees(std::int16_t celsius) const {
    if (state_.Settings.TempUnit == 0) return QString::number(celsius) + " C";
    return QString::number(settings::ToFahr(celsius).value_or(celsius)) + " F";
}

void Poller::showTemperatureAndApplyRules() {
    link_.clock().runPending();
    if (!state_.PcbTemperatureValid) {
        display_.setLcdLine(1, " PCB Temp.:PROBE ERR ");
        display_.setTemperatureLabel("--");
        return;
    }
    const QString text = degrees(state_.PcbTemperature);
    display_.setLcdLine(1, " PCB Temp.: " + text);
    display_.setTemperatureLabel(text);
    if (!state_.ProfileRunActive) alarmAndSafety();
}

void Poller::alarmAndSafety() {
    const core::SettingsRecord& s = state_.Settings;
    const int t = state_.PcbTemperature;
    if (t > s.AlarmThreshold) shell_.beep();
    if (safetyReached_(state_)) state_.SafetyTripped = true;
    if (!state_.SafetyTripped) return;
    if (heaterOn() && !steppingDownSaid_) {
        state_.Diagnostics.add("Safety set point reached: heaters going OFF");
        steppingDownSaid_ = true;
    }
    withdrawHeaterUps();
    if (state_.UpperHeaterMode > core::UhOff) state_.RequestFlags[core::SlotUpperHeaterDown] = true;
    if (state_.LowerHeaterMode > core::LhOff) state_.RequestFlags[core::SlotLowerHeaterDown] = true;
    if (state_.UpperHeaterMode == core::UhOff && state_.LowerHeaterMode == core::LhOff) {
        if (t >= s.SafetySP + 5 && state_.FanState == 0) state_.RequestFlags[core::SlotFan] = true;
        state_.SafetyTripped = false;
        steppingDownSaid_ = false;
    }
}

// A switch-off under way: a step up still queued would be served before the steps down
// (it comes first in the order) and undo one of them, so it is not sent any more.
void Poller::withdrawHeaterUps() {
    state_.RequestFlags[core::SlotUpperHeaterUp] = false;
    state_.RequestFlags[core::SlotLowerHeaterUp] = false;
}

bool Poller::heaterOn() const {
    return state_.UpperHeaterMode > core::UhOff || state_.LowerHeaterMode > core::LhOff;
}

// Leaving with the heaters switched off first: one step down per tick for each heater
// that is on (modes the poll cannot name count as on), whatever the probe reads.
void Poller::stepHeatersOffToLeave() {
    if (!state_.HeaterSwitchOffRequested) return;
    withdrawHeaterUps();
    if (state_.UpperHeaterMode > core::UhOff) state_.RequestFlags[core::SlotUpperHeaterDown] = true;
    if (state_.LowerHeaterMode > core::LhOff) state_.RequestFlags[core::SlotLowerHeaterDown] = true;
    if (!heaterOn()) state_.HeaterSwitchOffRequested = false;
}

// A run stopped with its heaters to go OFF: steps up not sent yet are withdrawn, each
// heater that is on goes one step down per tick, and once both report OFF the fan comes on
// to cool the board.
void Poller::stepHeatersOffAfterRun() {
    if (!state_.RunSwitchOffRequested) return;
    withdrawHeaterUps();
    if (state_.UpperHeaterMode > core::UhOff) state_.RequestFlags[core::SlotUpperHeaterDown] = true;
    if (state_.LowerHeaterMode > core::LhOff) state_.RequestFlags[core::SlotLowerHeaterDown] = true;
    if (heaterOn()) return;
    if (state_.FanState == 0) state_.RequestFlags[core::SlotFan] = true;
    state_.RunSwitchOffRequested = false;
}

SafetyNotice Poller::safetyNotice() const {
    if (!state_.PcbTemperatureValid && heaterOn()) return SafetyNotice::ProbeErrorHeaterOn;
    if (state_.HeaterSwitchOffRequested) return SafetyNotice::SwitchingOffToLeave;
    if (state_.SafetyTripped && heaterOn() && !state_.ProfileRunActive) return SafetyNotice::SteppingDown;
    return SafetyNotice::None;
}

void Poller::showFanAndSafety() {
    const int fan = state_.FanState;
    display_.setFanState(fan == 0 || fan == 1 ? fan : kFanUnknown);
    display_.setSafetyNotice(safetyNotice());
}

void Poller::showModes() {
    if (state_.UpperHeaterModeChanged) {
        static const char* names[] = {"OFF", "REFLOW", "FAST REFLOW"};
        const int c = state_.UpperHeaterMode;
        display_.setLcdLine(0, QString(" U.H.: ") + (c >= 1 && c <= 3 ? names[c - 1] : "N/A"));
        display_.setUpperGauge(c);
        state_.UpperHeaterModeChanged = false;
    }
    if (state_.LowerHeaterModeChanged) {
        static const char* names[] = {"OFF", "PREHEAT", "REFLOW", "FAST REFLOW"};
        const int c = state_.LowerHeaterMode;
        display_.setLcdLine(2, QString(" L.H.: ") + (c >= 1 && c <= 4 ? names[c - 1] : "N/A"));
        display_.setLowerGauge(c);
        state_.LowerHeaterModeChanged = false;
    }
    if (state_.MachineModeChanged) {
        display_.setLcdBackground(kLcdOnline);
        display_.setTemperatureLabelVisible(true);
        if (state_.MachineMode == core::PositionNormal) {
            display_.showModePicture(kNormalPicture, QString(kMachineStatus) + "NORMAL");
            display_.setLcdLine(3, " * * * * NORMAL MODE * * * *");
        } else if (state_.MachineMode == core::PositionPark) {
            display_.showModePicture(kParkPicture, QString(kMachineStatus) + "PARK");
            display_.setLcdLine(3, " * * * * PARK MODE * * * *");
        } else {
            display_.showModePicture(kOfflinePicture, QString(kMachineStatus) + "N/A");
            display_.setLcdLine(3, " * * * * N/A * * * *");
            display_.setTemperatureLabelVisible(false);
        }
        state_.MachineModeChanged = false;
    }
}

void Poller::serveOneRequest() {
    for (int slot : order_) {
        if (!state_.RequestFlags[std::size_t(slot)]) continue;
        state_.ServingSlot = std::int16_t(slot);
        if (actions_[std::size_t(slot)]) actions_[std::size_t(slot)]();
        state_.ServingSlot = 0;
        state_.RequestFlags[std::size_t(slot)] = false;
        const bool heaterOrFan = slot == core::SlotUpperHeaterUp || slot == core::SlotUpperHeaterDown ||
                                 slot == core::SlotLowerHeaterUp || slot == core::SlotLowerHeaterDown ||
                                 slot == core::SlotFan;
        if (heaterOrFan) {
            if (state_.OperatorRequestPending && state_.Settings.BeepWB) state_.RequestFlags[core::SlotBeep] = true;
            state_.OperatorRequestPending = false;
        }
        return;
    }
}

}  // namespace stationlink

#pragma once
#include "core/shared_state.h"
#include "link/link.h"
#include "link/station_display.h"
#include "platform/shell.h"

#include <array>
#include <functional>
#include <memory>

namespace settings {
class SettingsFile;
}

namespace stationlink {

// The program's one main loop: a 1000 ms tick that connects and reconnects, identifies
// the station, reads its settings, polls its status, shows it, applies the alarm and
// safety rules and serves at most one queued request.
class Poller {
public:
    Poller(core::SharedState& state, Link& link, platform::Shell& shell, StationDisplay& display,
           settings::SettingsFile& settingsFile);

    void USB_Service_Timer_Timer();
    // "Connect to KR-9300".
    void M_Tools_Connect_Click();
    // The offline state of every display (after ten failed attempts and after Disconnect).
    void showOffline();

    // When the safety rule starts stepping the heaters down: by default once the board
    // reads at or above the safety set point. A check of the fault simulation swaps in
    // a rule that never fires, to prove that the simulation notices.
    using SafetyRule = std::function<bool(const core::SharedState&)>;
    static bool boardAtSafetySetPoint(const core::SharedState& state);
    void setSafetyRule(SafetyRule rule);

    // The action a request slot runs; slots 5 and 8 are wired by the profile layer.
    void setAction(int slot, std::function<void()> action);
    // Slots in the order they are served, one per tick.
    static constexpr std::array<int, 11> kPriority{
        core::SlotUpperHeaterUp, core::SlotUpperHeaterDown, core::SlotLowerHeaterUp, core::SlotLowerHeaterDown,
        core::SlotFan,           core::SlotBeep,            core::SlotWriteSettings, core::SlotProfileRead,
        core::SlotProfileWrite,  core::SlotClearLog,        core::SlotSignOff};
    // The order served. A check of the exit hand swaps in one that serves profile transfers
    // before the steps down, to prove that it notices a switch-off held up behind them.
    using ServeOrder = std::array<int, 11>;
    void setServeOrder(const ServeOrder& order) { order_ = order; }

    platform::Timer& USB_Service_Timer() { return *timer_; }
    // Ticks that did their work (connect requested, not already busy).
    std::uint64_t ticksRun() const { return ticksRun_; }
    // How long the last tick took, and whether its status poll succeeded.
    std::int64_t lastTickMs() const { return lastTickMs_; }
    bool lastPollSucceeded() const { return lastPollSucceeded_; }

private:
    void tick();
    void failedAttempt();
    bool identifyAndReadSettings();
    void takeStationSafetySetPoint();
    void showAlarmThreshold();
    bool onlineTick();
    void showTemperatureAndApplyRules();
    void alarmAndSafety();
    void showModes();
    bool heaterOn() const;
    void withdrawHeaterUps();
    void stepHeatersOffToLeave();
    void stepHeatersOffAfterRun();
    SafetyNotice safetyNotice() const;
    void showFanAndSafety();
    void serveOneRequest();
    QString degrees(std::int16_t celsius) const;

    core::SharedState& state_;
    Link& link_;
    platform::Shell& shell_;
    StationDisplay& display_;
    settings::SettingsFile& settingsFile_;
    std::unique_ptr<platform::Timer> timer_;
    std::array<std::function<void()>, core::kRequestSlots> actions_;
    SafetyRule safetyReached_ = boardAtSafetySetPoint;
    std::uint64_t ticksRun_ = 0;
    ServeOrder order_ = kPriority;
    std::int64_t lastTickMs_ = 0;
    bool lastPollSucceeded_ = false;
    bool steppingDownSaid_ = false;  // the diagnostic line of the current switch-off is out
};

}  // namespace stationlink

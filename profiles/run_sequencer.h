#pragma once
#include "core/shared_state.h"
#include "profiles/run_guard.h"
#include "ui/run_alert.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace platform {
class Clock;
class Timer;
}  // namespace platform

namespace profiles {

// The run's states (EditorState values while a run goes). Any value not listed here means
// "just started".
enum RunState : std::int16_t {
    RunStart = 0,
    RunConfirm = 90,
    RunX1Mode = 88,
    RunX1UhUp = 2,
    RunX1UhDown = 3,
    RunX1LhUp = 4,
    RunX1LhDown = 5,
    RunX1Approach = 6,
    RunX2Mode = 400,
    RunX2UhUp = 8,
    RunX2UhDown = 9,
    RunX2LhUp = 10,
    RunX2LhDown = 11,
    RunX2Approach = 12,
    RunX3Mode = 500,
    RunX3UhUp = 13,
    RunX3UhDown = 14,
    RunX3LhUp = 15,
    RunX3LhDown = 16,
    RunX3Approach = 17,
    RunUhToOff = 19,
    RunLhToOff = 20,
};

// What the run reads from the editor, at the moment it needs it, and what it does to it.
class RunEditor {
public:
    virtual ~RunEditor() = default;
    struct Point {
        QString temperature;  // the box as shown, in the display unit
        QString message;
        int lowerPosition = 0;  // L.H. list: OFF, PERHEAT, REFLOW, FAST REFLOW
        int upperPosition = 0;  // U.H. list: OFF, REFLOW, FAST REFLOW
        int modePosition = 0;   // "Normal Mode", "Park Mode"
        bool fan = false;
    };
    virtual Point point(int index) const = 0;  // 0..2 for X1..X3
    virtual void setStatus(const QString& text) = 0;  // panel 1
    virtual void lockEditor() = 0;
    virtual void unlockEditor() = 0;
    virtual void setEditorEnabled(bool enabled) = 0;  // the whole window
    virtual void setRunCaption(const QString& caption) = 0;
    virtual QString runCaption() const = 0;
    virtual void appendSample() = 0;  // AppendTcSample
    virtual void setCoolingTrace(bool on) = 0;  // Cooling_Graph_Timer
    virtual void restartTrace() = 0;  // the live trace afresh: its reset request and TcSampleCount 0
    // A question with Yes (the default) and No; the answer comes later.
    virtual void askYesNo(const QString& text, std::function<void(bool yes)> answered) = 0;
};

// A profile run under the program's supervision: one step a second, walking the three
// points (machine position, upper heater, lower heater, approach) and then switching both
// heaters off. It never talks to the station: it raises the poller's request slots and
// reads the status the poller keeps.
class RunSequencer {
public:
    RunSequencer(core::SharedState& state, platform::Clock& clock, RunEditor& editor, ui::RunAlert& alert);
    ~RunSequencer();

    // "Run" / "Stop".
    void Command5_Click();
    void MyDelayTimer_Timer();

    platform::Timer& MyDelayTimer() { return *timer_; }
    bool running() const;

    // Every step of the run as one line ("run", "confirmed", "state 6", "request U.H. up",
    // "alert: Soak Zone", "reached X1", "cancelled", "stop", "finish", "terminate"), for the
    // run record.
    void setEventSink(std::function<void(const QString&)> sink) { sink_ = std::move(sink); }

    // The temperature a box shows, in Celsius: the shown number, through ToCelsius in
    // Fahrenheit display. Empty when the box holds no usable number.
    static std::optional<std::int16_t> boxCelsius(const QString& text, bool fahrenheit);

    // What "Stop" does to the alarm rules and the pending heater requests: by default the
    // rules come back on and steps up not sent yet are withdrawn, so nothing heats up
    // after it. A check of the fault simulation swaps in the unsafe rule to prove that
    // the simulation notices.
    using StopRule = std::function<void(core::SharedState&)>;
    static void stopSafely(core::SharedState& state);
    void setStopRule(StopRule rule) { stopRule_ = rule ? std::move(rule) : StopRule(stopSafely); }

    // The guard watches every tick from the confirmation until both heaters are OFF. A
    // check of the fault simulation switches it off to prove that the simulation notices.
    void setGuardEnabled(bool on) { guardEnabled_ = on; }
    static constexpr const char* kGuardTitle = "Run stopped by the guard";
    static constexpr const char* kOffline = "Process: the KR-9300 is offline, the profile cannot run";
    static constexpr const char* kSwitchOffQuestion = "Switch the heaters off now?";
    // "U.H. REFLOW, L.H. PERHEAT": the heaters above OFF, as the editor's lists name them.
    static QString heatersOn(const core::SharedState& state);
    // A heater mode as the editor's lists name it; "N/A" for a code the poll cannot name.
    static QString upperName(int code);
    static QString lowerName(int code);

private:
    // One row of the state table: the state, its handler, the point it belongs to and,
    // for the stepping states, the direction.
    using Handler = void (RunSequencer::*)(int point, bool up);
    struct Row {
        RunState state;
        Handler handler;
        int point;
        bool up;
    };
    static const Row kTable[];
    struct PointStates {
        RunState mode, uhUp, uhDown, lhUp, lhDown, approach;
    };
    static const std::array<PointStates, 3> kPoints;

    void onStart(int, bool);
    void onConfirm(int, bool);
    void onModeWait(int point, bool);
    void onUpperStep(int point, bool up);
    void onLowerStep(int point, bool up);
    void onApproach(int point, bool);
    void onUpperOff(int, bool);
    void onLowerOff(int, bool);

    void modeCheck(int point);
    void entryActions(int point);
    void heaterSetup(int point);
    void lowerSetup(int point);
    void bothMatch(int point);
    void pointReached(int point);
    void switchOff();
    void switchOffLower();
    void finish();
    void terminate();
    void commonEnd();
    bool guardStops();
    GuardInput guardInput() const;
    void offerSwitchOff();

    void go(RunState next);
    void raise(int slot, const char* what);
    void sampleAndRearm();
    void rearm();
    void showAlert(const QString& title, const QString& message, int beepMs, bool hideOk);
    void closeAlert();
    bool cancelled();
    void withdrawHeaterUps();
    void event(const QString& text);

    int targetUpper(int point) const;
    int targetLower(int point) const;
    int targetMode(int point) const;
    int targetCelsius(int point) const;
    bool fahrenheit() const { return state_.Settings.TempUnit != 0; }

    core::SharedState& state_;
    platform::Clock& clock_;
    RunEditor& editor_;
    ui::RunAlert& alert_;
    std::unique_ptr<platform::Timer> timer_;
    std::function<void(const QString&)> sink_;
    StopRule stopRule_ = stopSafely;
    std::optional<RunGuard> guard_;
    bool guardEnabled_ = true;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for answers that come late
};

}  // namespace profiles

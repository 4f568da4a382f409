#include "profiles/run_sequencer.h"

#include "core/status_age.h"
#include "platform/clock.h"
#include "settings/number_text.h"
#include "settings/units.h"

namespace profiles {

namespace {
const char* const kPointNames[] = {"X1", "X2", "X3"};

bool heaterOn(const core::SharedState& s) { return s.UpperHeaterMode > core::UhOff || s.LowerHeaterMode > core::LhOff; }
}  // namespace

const std::array<RunSequencer::PointStates, 3> RunSequencer::kPoints{{
    {RunX1Mode, RunX1UhUp, RunX1UhDown, RunX1LhUp, RunX1LhDown, RunX1Approach},
    {RunX2Mode, RunX2UhUp, RunX2UhDown, RunX2LhUp, RunX2LhDown, RunX2Approach},
    {RunX3Mode, RunX3UhUp, RunX3UhDown, RunX3LhUp, RunX3LhDown, RunX3Approach},
}};

// The state table. A state not found here is a run that has just started.
const RunSequencer::Row RunSequencer::kTable[] = {
    {RunConfirm, &RunSequencer::onConfirm, 0, false},
    {RunX1Mode, &RunSequencer::onModeWait, 0, false},
    {RunX1UhUp, &RunSequencer::onUpperStep, 0, true},
    {RunX1UhDown, &RunSequencer::onUpperStep, 0, false},
    {RunX1LhUp, &RunSequencer::onLowerStep, 0, true},
    {RunX1LhDown, &RunSequencer::onLowerStep, 0, false},
    {RunX1Approach, &RunSequencer::onApproach, 0, false},
    {RunX2Mode, &RunSequencer::onModeWait, 1, false},
    {RunX2UhUp, &RunSequencer::onUpperStep, 1, true},
    {RunX2UhDown, &RunSequencer::onUpperStep, 1, false},
    {RunX2LhUp, &RunSequencer::onLowerStep, 1, true},
    {RunX2LhDown, &RunSequencer::onLowerStep, 1, false},
    {RunX2Approach, &RunSequencer::onApproach, 1, false},
    {RunX3Mode, &RunSequencer::onModeWait, 2, false},
    {RunX3UhUp, &RunSequencer::onUpperStep, 2, true},
    {RunX3UhDown, &RunSequencer::onUpperStep, 2, false},
    {RunX3LhUp, &RunSequencer::onLowerStep, 2, true},
    {RunX3LhDown, &RunSequencer::onLowerStep, 2, false},
    {RunX3Approach, &RunSequencer::onApproach, 2, false},
    {RunUhToOff, &RunSequencer::onUpperOff, 0, false},
    {RunLhToOff, &RunSequencer::onLowerOff, 0, false},
};

RunSequencer::RunSequencer(core::SharedState& state, platform::Clock& clock, RunEditor& editor, ui::RunAlert& alert)
    : state_(state), clock_(clock), editor_(editor), alert_(alert) {
    timer_ = clock.createTimer(1000, [this] { MyDelayTimer_Timer(); });
    timer_->setEnabled(false);
    timer_->tag = false;
}

RunSequencer::~RunSequencer() = default;

bool RunSequencer::running() const { return editor_.runCaption() == "Stop"; }

std::optional<std::int16_t> RunSequencer::boxCelsius(const QString& text, bool fahrenheit) {
    bool ok = false;
    const int shown = text.trimmed().toInt(&ok, 10);
    if (!ok || shown < -32768 || shown > 32767) return std::nullopt;
    return fahrenheit ? settings::ToCelsius(std::int16_t(shown)) : std::optional<std::int16_t>(std::int16_t(shown));
}

// --- "Run" / "Stop" ---

void RunSequencer::Command5_Click() {
    editor_.setCoolingTrace(false);
    state_.ProfileRunActive = false;
    if (running()) {
        // "Stop" always stops, whether or not the station is online.
        stopRule_(state_);
        closeAlert();
        editor_.setEditorEnabled(true);
        editor_.unlockEditor();
        timer_->setEnabled(false);
        editor_.setRunCaption("Run");
        editor_.setStatus("Process: Profile Terminated by User");
        event("stop");
        offerSwitchOff();
        return;
    }
    if (!state_.MachineOnline) {
        editor_.setStatus(kOffline);
        return;
    }
    // A box that holds no number counts as missing: the run could not know where to stop.
    for (int i = 0; i < 3; ++i) {
        if (!boxCelsius(editor_.point(i).temperature, fahrenheit())) {
            editor_.setStatus("ERROR: Profile value missing ... Please correct");
            return;
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (editor_.point(i).message.isEmpty()) {
            editor_.setStatus("ERROR: Profile Message missing ... Please correct");
            return;
        }
    }
    const double x1 = settings::leadingNumber(editor_.point(0).temperature);
    const double x2 = settings::leadingNumber(editor_.point(1).temperature);
    const double x3 = settings::leadingNumber(editor_.point(2).temperature);
    if (x2 > x3) {
        editor_.setStatus("ERROR: X3 must be greater than or equal X2 ... Please correct");
        return;
    }
    if (x1 > x2) {
        editor_.setStatus("ERROR: X2 must be greater than or equal X1 ... Please correct");
        return;
    }
    editor_.lockEditor();
    editor_.setRunCaption("Stop");
    state_.EditorState = RunStart;
    editor_.restartTrace();
    state_.ProfileRunActive = true;
    state_.RunSwitchOffRequested = false;
    guard_.emplace(state_.GuardLimits, fahrenheit());
    event("run");
    timer_->setEnabled(true);
}

// --- one step a second ---

void RunSequencer::MyDelayTimer_Timer() {
    timer_->setEnabled(false);
    if (guardStops()) return;
    for (const Row& row : kTable) {
        if (row.state == state_.EditorState) {
            (this->*row.handler)(row.point, row.up);
            return;
        }
    }
    onStart(0, false);
}

void RunSequencer::onStart(int, bool) {
    showAlert("Run Current Profile?", "Please CONFIRM", 0, false);
    go(RunConfirm);
    rearm();
}

void RunSequencer::onConfirm(int, bool) {
    if (cancelled()) return terminate();
    if (!alert_.okPressed()) return sampleAndRearm();
    event("confirmed");
    closeAlert();
    modeCheck(0);
}

void RunSequencer::modeCheck(int point) {
    if (state_.MachineMode == targetMode(point)) {
        entryActions(point);
        heaterSetup(point);
        return;
    }
    const bool toPark = state_.MachineMode == core::PositionNormal;
    editor_.setStatus(toPark ? "Process: Waiting for Machine to be PARK Mode"
                             : "Process: Waiting for Machine to be NORMAL Mode");
    showAlert(toPark ? "Set Machine to PARK Mode" : "Set Machine to NORMAL Mode", "Waiting ...", 0, true);
    go(kPoints[std::size_t(point)].mode);
    sampleAndRearm();
}

void RunSequencer::onModeWait(int point, bool) {
    if (state_.MachineMode == targetMode(point)) {
        editor_.setEditorEnabled(true);
        closeAlert();
        entryActions(point);
        heaterSetup(point);
        return;
    }
    if (cancelled()) return terminate();
    sampleAndRearm();
}

void RunSequencer::entryActions(int point) {
    if (point == 1) showAlert("Preheating Zone", editor_.point(0).message, 0, true);
    if (point == 2) showAlert("Soak Zone", editor_.point(1).message, 2000, true);
}

void RunSequencer::heaterSetup(int point) {
    state_.UpperModeChangeSeen = false;
    state_.LowerModeChangeSeen = false;
    const int d = targetUpper(point) - state_.UpperHeaterMode;
    if (d == 0) return lowerSetup(point);
    editor_.setStatus(QString("Process: Updating UH, ") + kPointNames[point]);
    const PointStates& s = kPoints[std::size_t(point)];
    if (d > 0) {
        raise(core::SlotUpperHeaterUp, "U.H. up");
        go(s.uhUp);
    } else {
        raise(core::SlotUpperHeaterDown, "U.H. down");
        go(s.uhDown);
    }
    sampleAndRearm();
}

void RunSequencer::onUpperStep(int point, bool up) {
    if (cancelled()) return terminate();
    if (!state_.UpperModeChangeSeen) return sampleAndRearm();
    if (state_.UpperHeaterMode == targetUpper(point)) return lowerSetup(point);
    state_.UpperModeChangeSeen = false;
    if (up) raise(core::SlotUpperHeaterUp, "U.H. up");
    else raise(core::SlotUpperHeaterDown, "U.H. down");
    sampleAndRearm();
}

void RunSequencer::lowerSetup(int point) {
    state_.UpperModeChangeSeen = false;
    const int d = targetLower(point) - state_.LowerHeaterMode;
    if (d == 0) return bothMatch(point);
    editor_.setStatus(QString("Process: Updating LH, ") + kPointNames[point]);
    const PointStates& s = kPoints[std::size_t(point)];
    if (d > 0) {
        raise(core::SlotLowerHeaterUp, "L.H. up");
        go(s.lhUp);
    } else {
        raise(core::SlotLowerHeaterDown, "L.H. down");
        go(s.lhDown);
    }
    sampleAndRearm();
}

void RunSequencer::onLowerStep(int point, bool up) {
    if (cancelled()) return terminate();
    if (!state_.LowerModeChangeSeen) return sampleAndRearm();
    if (state_.LowerHeaterMode == targetLower(point)) return bothMatch(point);
    state_.LowerModeChangeSeen = false;
    if (up) raise(core::SlotLowerHeaterUp, "L.H. up");
    else raise(core::SlotLowerHeaterDown, "L.H. down");
    sampleAndRearm();
}

void RunSequencer::bothMatch(int point) {
    if (point == 1) showAlert("Running...", "Please Wait ...", 0, true);
    go(kPoints[std::size_t(point)].approach);
    onApproach(point, false);
}

void RunSequencer::onApproach(int point, bool) {
    const std::int16_t t = state_.PcbTemperature;
    const std::int16_t shown = fahrenheit() ? settings::ToFahr(t).value_or(t) : t;
    // Without a fresh answer the last reading is not the board's: it is not shown as one
    // and no point is reached on it.
    const bool fresh = core::statusFresh(state_, clock_.nowMs());
    editor_.setStatus(QString("Process: Approaching ") + kPointNames[point] + ": " +
                      (fresh ? QString::number(shown) : QString("-- (no reply)")));
    if (cancelled()) return terminate();
    if (!fresh || t < targetCelsius(point)) return sampleAndRearm();
    pointReached(point);
}

void RunSequencer::pointReached(int point) {
    event(QString("reached ") + kPointNames[point]);
    if (int(editor_.point(point).fan) != (state_.FanState != 0 ? 1 : 0)) raise(core::SlotFan, "fan");
    if (point < 2) return modeCheck(point + 1);
    showAlert("Reflow Process Finished", editor_.point(2).message, 800, true);
    state_.UpperModeChangeSeen = false;
    state_.LowerModeChangeSeen = false;
    editor_.setStatus("Process: Turning Heaters OFF");
    switchOff();
}

void RunSequencer::switchOff() {
    if (state_.UpperHeaterMode == core::UhOff) return switchOffLower();
    raise(core::SlotUpperHeaterDown, "U.H. down");
    go(RunUhToOff);
    sampleAndRearm();
}

void RunSequencer::onUpperOff(int, bool) {
    if (cancelled()) return terminate();
    if (!state_.UpperModeChangeSeen) return sampleAndRearm();
    if (state_.UpperHeaterMode == core::UhOff) return switchOffLower();
    state_.UpperModeChangeSeen = false;
    raise(core::SlotUpperHeaterDown, "U.H. down");
    sampleAndRearm();
}

void RunSequencer::switchOffLower() {
    state_.UpperModeChangeSeen = false;
    if (state_.LowerHeaterMode == core::LhOff) return finish();
    raise(core::SlotLowerHeaterDown, "L.H. down");
    go(RunLhToOff);
    sampleAndRearm();
}

void RunSequencer::onLowerOff(int, bool) {
    if (cancelled()) return terminate();
    if (!state_.LowerModeChangeSeen) return sampleAndRearm();
    if (state_.LowerHeaterMode == core::LhOff) return finish();
    state_.LowerModeChangeSeen = false;
    raise(core::SlotLowerHeaterDown, "L.H. down");
    sampleAndRearm();
}

void RunSequencer::finish() {
    editor_.setEditorEnabled(true);
    closeAlert();
    editor_.setStatus("Process: Profile Finished Successfully");
    go(RunStart);
    editor_.setCoolingTrace(true);
    event("finish");
    commonEnd();
}

void RunSequencer::terminate() {
    event("cancelled");
    closeAlert();
    editor_.setStatus("Process: Profile Terminated by User");
    go(RunStart);
    state_.ProfileRunActive = false;
    // The heaters stay where they are, but a step up not sent yet is not sent any more.
    withdrawHeaterUps();
    event("terminate");
    commonEnd();
    offerSwitchOff();
}

// --- the guard ---

GuardInput RunSequencer::guardInput() const {
    GuardInput in;
    in.nowMs = clock_.nowMs();
    const std::int16_t s = state_.EditorState;
    for (int p = 0; p < 3; ++p) {
        const PointStates& ps = kPoints[std::size_t(p)];
        if (s == ps.mode) in.phase = GuardInput::Phase::ModeWait;
        else if (s == ps.approach) in.phase = GuardInput::Phase::Approach;
        else continue;
        in.point = p;
        in.targetC = targetCelsius(p);
    }
    in.lastStatusMs = state_.LastStatusMs;
    in.readingValid = state_.PcbTemperatureValid && core::statusFresh(state_, in.nowMs);
    in.boardC = state_.PcbTemperature;
    in.heaterOn = heaterOn(state_);
    in.x3C = targetCelsius(2);
    return in;
}

// From the confirmation on, a run the guard stops ends here: the heaters go OFF through
// the poller without waiting for anyone, the alarm rules come back, and the operator is
// told why with beeps.
bool RunSequencer::guardStops() {
    if (!guardEnabled_ || !guard_ || state_.EditorState == RunStart) return false;
    const std::optional<QString> reason = guard_->check(guardInput());
    if (!reason) return false;
    closeAlert();
    stopSafely(state_);
    state_.RunSwitchOffRequested = true;
    go(RunStart);
    commonEnd();
    editor_.setStatus("Process: Stopped by the guard: " + *reason);
    showAlert(kGuardTitle, *reason, 800, false);
    alert_.setCloseOnAnswer(true);
    event("guarded: " + *reason);
    return true;
}

QString RunSequencer::upperName(int code) {
    static const char* names[] = {"OFF", "REFLOW", "FAST REFLOW"};
    return code >= 1 && code <= 3 ? names[code - 1] : "N/A";
}

QString RunSequencer::lowerName(int code) {
    static const char* names[] = {"OFF", "PERHEAT", "REFLOW", "FAST REFLOW"};
    return code >= 1 && code <= 4 ? names[code - 1] : "N/A";
}

QString RunSequencer::heatersOn(const core::SharedState& s) {
    QStringList on;
    if (s.UpperHeaterMode > core::UhOff) on << "U.H. " + upperName(s.UpperHeaterMode);
    if (s.LowerHeaterMode > core::LhOff) on << "L.H. " + lowerName(s.LowerHeaterMode);
    return on.join(", ");
}

// Stop or Cancel with a heater on: the operator says whether the heaters go OFF now. The
// run has ended already; a run started again before the answer is left alone.
void RunSequencer::offerSwitchOff() {
    if (!heaterOn(state_)) return;
    std::weak_ptr<bool> alive = alive_;
    editor_.askYesNo(kSwitchOffQuestion, [this, alive](bool yes) {
        if (alive.expired() || running()) return;
        if (yes) {
            stopSafely(state_);
            state_.RunSwitchOffRequested = true;
            editor_.setStatus("Process: Profile Terminated by User: heaters going OFF");
        } else if (heaterOn(state_)) {
            editor_.setStatus("Process: Profile Terminated by User. Heaters left on: " + heatersOn(state_));
        }
    });
}

void RunSequencer::commonEnd() {
    editor_.unlockEditor();
    timer_->setEnabled(false);
    editor_.setRunCaption("Run");
}

// --- helpers ---

void RunSequencer::go(RunState next) {
    if (state_.EditorState == next) return;
    state_.EditorState = next;
    event("state " + QString::number(next));
}

void RunSequencer::raise(int slot, const char* what) {
    state_.RequestFlags[std::size_t(slot)] = true;
    event(QString("request ") + what);
}

void RunSequencer::sampleAndRearm() {
    editor_.appendSample();
    rearm();
}

void RunSequencer::rearm() { timer_->setEnabled(true); }

void RunSequencer::showAlert(const QString& title, const QString& message, int beepMs, bool hideOk) {
    alert_.ShowRunAlert(title, message, beepMs, hideOk);
    event("alert: " + title);
}

void RunSequencer::closeAlert() { alert_.unload(); }

bool RunSequencer::cancelled() { return alert_.cancelPressed(); }

void RunSequencer::stopSafely(core::SharedState& state) {
    state.ProfileRunActive = false;
    state.RequestFlags[core::SlotUpperHeaterUp] = false;
    state.RequestFlags[core::SlotLowerHeaterUp] = false;
}

void RunSequencer::withdrawHeaterUps() {
    state_.RequestFlags[core::SlotUpperHeaterUp] = false;
    state_.RequestFlags[core::SlotLowerHeaterUp] = false;
}

void RunSequencer::event(const QString& text) {
    if (sink_) sink_(text);
}

int RunSequencer::targetUpper(int point) const { return editor_.point(point).upperPosition + 1; }
int RunSequencer::targetLower(int point) const { return editor_.point(point).lowerPosition + 1; }
int RunSequencer::targetMode(int point) const { return editor_.point(point).modePosition + 1; }

int RunSequencer::targetCelsius(int point) const {
    return boxCelsius(editor_.point(point).temperature, fahrenheit()).value_or(0);
}

}  // namespace profiles

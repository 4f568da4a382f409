#include "tests/support/profile_hand.h"

#include "app/program.h"
#include "link/profile_payload.h"
#include "platform/virtual_clock.h"
#include "profiles/run_summary.h"
#include "link/station_profile.h"
#include "tests/support/scripted_dialogs.h"
#include "simulator/sim_station.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace testsupport {

namespace {

// Heater requests belong to these states of a run: the stepping and the switch-off.
bool steppingState(std::int16_t s) {
    return (s >= profiles::RunX1UhUp && s <= profiles::RunX1LhDown) ||
           (s >= profiles::RunX2UhUp && s <= profiles::RunX2LhDown) ||
           (s >= profiles::RunX3UhUp && s <= profiles::RunX3LhDown) || s == profiles::RunUhToOff ||
           s == profiles::RunLhToOff;
}

// A transfer holds the editor: its states (a run's X3 mode wait shares the number 500 with
// a retrieve, so a running sequencer rules it out).
bool transferHolds(profiles::Profile_Editor_Form& e, std::int16_t s) {
    return e.locked() && !e.sequencer().running() &&
           (s == core::EditorRetrievePending || s == core::EditorSavePending || s == core::EditorVerifyPending);
}

core::ProfileTransfer slotContents(const std::array<std::uint8_t, 81>& bytes) {
    stationlink::ProfilePayload payload;
    std::copy(bytes.begin(), bytes.end(), payload.begin());
    core::ProfileTransfer t;
    stationlink::decodeNameAndReadBack(payload, t);
    stationlink::decodeTemperaturesAndMessages(payload, t);
    return t;
}

stationlink::ScreenProfile screenOf(const profiles::Profile_Editor_Form& e) {
    stationlink::ScreenProfile s;
    s.name = e.Text7->text();
    for (int p = 0; p < 3; ++p) {
        s.temperatures[std::size_t(p)] = e.temperatureBox(p)->text();
        s.messages[std::size_t(p)] = e.messageBox(p)->text();
        s.lowerPositions[std::size_t(p)] = e.lowerList(p)->currentIndex();
        s.upperPositions[std::size_t(p)] = e.upperList(p)->currentIndex();
    }
    return s;
}

// The transfer a slot's text names: "Profile 2 Saved and verified" gives 2.
int slotOfText(const std::string& text) {
    return text.size() > 8 && text.compare(0, 8, "Profile ") == 0 ? text[8] - '0' : 0;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

ProfileHand::ProfileHand(app::Program& program, platform::VirtualClock& clock, simulator::SimStation& station,
                         std::uint64_t seed)
    : program_(program), clock_(clock), station_(station), dice_(seed * 104729 + 31) {
    for (int slot = 1; slot <= 3; ++slot) slots_[std::size_t(slot - 1)] = station_.profile(slot);
}

void ProfileHand::onEditorOpened() {
    profiles::Profile_Editor_Form* e = program_.editor();
    if (!e || editorSeen_ == e) return;
    editorSeen_ = e;
    e->setRunObserver([this](const QString& event) {
        if (event == "finish") count("run finished");
        if (event == "terminate") count("run cancelled");
        if (event == "stop") count("run stopped");
        if (event.startsWith("guarded: ")) count("run guarded");
        if (runFailure_.empty()) runFailure_ = checkRunEvent(event.toStdString());
    });
    if (brokenStop_) e->sequencer().setStopRule([](core::SharedState&) {});
    if (brokenGuard_) e->sequencer().setGuardEnabled(false);
    if (carelessWatch_)
        e->transfer().setCompletionTest(
            [](const core::SharedState& s, int slot, bool) { return !s.RequestFlags[std::size_t(slot)]; });
}

void ProfileHand::clickAndAnswer(const std::function<void()>& click, bool surely) {
    const std::size_t asked = dialogs_ ? dialogs_->questions.size() : 0;
    click();
    if (dialogs_ && dialogs_->questions.size() > asked) answerQuestion(surely);
}

void ProfileHand::answerQuestion(bool surely) {
    if (!dialogs_ || !dialogs_->pendingQuestion || dialogs_->questions.empty()) return;
    using Answer = platform::Dialogs::Answer;
    if (!dialogs_->questions.back().saveChanges) {
        dialogs_->answer(Answer::Yes);
        return;
    }
    const Answer a = surely || dice_.chance(0.7) ? Answer::No : dice_.chance(0.5) ? Answer::Cancel : Answer::Yes;
    count(a == Answer::No ? "changes dropped" : "changes kept");
    dialogs_->answer(a);
}

void ProfileHand::fillProfile(bool runnable) {
    profiles::Profile_Editor_Form& e = *program_.editor();
    static const char* kWords[] = {"PREHEAT", "SOAK", "REFLOW", "PICK NOW", "HOLD 2.5", "PARK & LIFT", ""};
    const bool fahrenheit = program_.state.Settings.TempUnit != 0;
    int t1 = int(dice_.between(40, 120)), t2 = t1 + int(dice_.between(0, 60)), t3 = t2 + int(dice_.between(0, 70));
    if (fahrenheit) {
        t1 = t1 * 9 / 5 + 32;
        t2 = t2 * 9 / 5 + 32;
        t3 = t3 * 9 / 5 + 32;
    }
    const int temps[] = {t1, t2, t3};
    for (int p = 0; p < 3; ++p) {
        e.temperatureBox(p)->setText(QString::number(temps[p]));
        e.messageBox(p)->setText(kWords[dice_.between(0, runnable ? 5 : 6)]);
        e.lowerList(p)->setCurrentIndex(int(dice_.between(0, 3)));
        e.upperList(p)->setCurrentIndex(int(dice_.between(0, 2)));
        e.modeList(p)->setCurrentIndex(int(dice_.between(0, 1)));
        e.fanBox(p)->setChecked(dice_.chance(0.3));
    }
    e.Text7->setText(QString("HAND %1").arg(dice_.between(0, 999)));
    (dice_.chance(0.5) ? e.Option4 : e.Option5)->setChecked(true);
    std::array<QRadioButton*, 3> slotButtons{e.Option1, e.Option2, e.Option3};
    slotButtons[std::size_t(dice_.between(0, 2))]->setChecked(true);
}

void ProfileHand::act(const std::function<void(const std::string&)>& trace) {
    endQuietSpell();
    if (scheduled_) return actOnSchedule(trace);
    profiles::Profile_Editor_Form* e = program_.editor();
    if (patientRun_ && e && e->isVisible() && e->sequencer().running()) return patientStep(trace);
    patientRun_ = false;
    if (!dice_.chance(0.25)) return;
    if (e && e->isVisible()) {
        onEditorOpened();
        editorAction(trace);
    } else if (program_.form.isEnabled() && program_.state.MachineOnline && dice_.chance(0.5)) {
        if (dice_.chance(0.85)) {
            trace(std::string("hand: open the editor, plotting ") + (program_.state.Settings.AutoTCPlot ? "on" : "off"));
            count("open editor");
            plottingBefore_ = program_.state.Settings.AutoTCPlot;
            program_.form.M_Profile_Editor->trigger();
            editorWasOpen_ = true;
            onEditorOpened();
        } else {
            defaultsVisit(trace);
        }
    }
    if (dice_.chance(0.2)) scheduleInWait(trace);
}

void ProfileHand::editorAction(const std::function<void(const std::string&)>& trace) {
    profiles::Profile_Editor_Form& e = *program_.editor();
    if (e.alert().loaded() && e.alert().form()->isVisible()) {
        const bool ok = dice_.chance(0.85) && e.alert().form()->Command1->isVisible();
        trace(ok ? "hand: alert OK" : "hand: alert Cancel");
        count(ok ? "alert OK" : "alert Cancel");
        (ok ? e.alert().form()->Command1 : e.alert().form()->Command2)->click();
        return;
    }
    if (e.sequencer().running()) {
        if (dice_.chance(0.3)) setStationMode(e);
        if (dice_.chance(steppingState(program_.state.EditorState) ? 0.4 : 0.1)) {
            trace("hand: Stop");
            count("Stop");
            e.Command5->click();
        }
        return;
    }
    if (e.locked()) return;
    const int what = int(dice_.between(0, 9));
    // Now and then a transfer is made in a quiet spell, or a run is seen through patiently,
    // so the ways to "Saved and verified", "Retreived successfully" and a finished run are
    // walked too: under steady faults they seldom get through.
    if (what <= 1) {
        fillProfile();
        const bool quiet = dice_.chance(0.3);
        trace(std::string("hand: Retrieve") + (quiet ? ", faults paused" : ""));
        count("Retrieve");
        if (quiet) beginQuietSpell();
        clickAndAnswer([&] { e.Command6->click(); });
    } else if (what <= 3) {
        fillProfile();
        const int slot = e.Option1->isChecked() ? 1 : e.Option2->isChecked() ? 2 : 3;
        allowSlot(slot);
        const bool quiet = dice_.chance(0.3);
        trace("hand: Save to slot " + std::to_string(slot) + (quiet ? ", faults paused" : ""));
        count("Save to the station");
        if (quiet) beginQuietSpell();
        e.Command7->click();
    } else if (what <= 6) {
        patientRun_ = dice_.chance(0.2);
        fillProfile(patientRun_);
        trace(std::string("hand: Run") + (patientRun_ ? ", patiently" : ""));
        count("Run");
        e.Command5->click();
    } else if (what == 7) {
        trace("hand: New");
        count("New");
        clickAndAnswer([&] { e.Command2->click(); });
    } else if (what == 8) {
        trace("hand: Exit Profiles");
        count("Exit Profiles");
        clickAndAnswer([&] { e.Command1->click(); });
    } else {
        trace("hand: close box");
        count("close box");
        clickAndAnswer([&] { e.close(); });
    }
}

void ProfileHand::keepSchedule(std::int64_t saveEveryMs, std::int64_t runEveryMs, std::int64_t firstRunMs) {
    scheduled_ = true;
    saveEveryMs_ = saveEveryMs;
    runEveryMs_ = runEveryMs;
    nextSaveMs_ = clock_.nowMs() + saveEveryMs;
    nextRunMs_ = clock_.nowMs() + firstRunMs;
}

// What falls due waits for the station to be online and the editor to be free; the editor
// is left once nothing is due, so the main window is in use between times.
void ProfileHand::actOnSchedule(const std::function<void(const std::string&)>& trace) {
    const std::int64_t now = clock_.nowMs();
    for (; now >= nextSaveMs_; nextSaveMs_ += saveEveryMs_) ++savesDue_;
    for (; now >= nextRunMs_; nextRunMs_ += runEveryMs_) ++runsDue_;
    const bool online = program_.state.MachineOnline;
    profiles::Profile_Editor_Form* e = program_.editor();
    if (!e || !e->isVisible()) {
        if ((savesDue_ > 0 || runsDue_ > 0) && online && program_.form.isEnabled()) {
            trace("hand: open the editor on schedule");
            count("open editor");
            plottingBefore_ = program_.state.Settings.AutoTCPlot;
            program_.form.M_Profile_Editor->trigger();
            editorWasOpen_ = true;
            onEditorOpened();
        }
        return;
    }
    onEditorOpened();
    if (e->sequencer().running() || (e->alert().loaded() && e->alert().form()->isVisible()))
        return patientStep(trace);
    if (e->locked()) return;
    if (savesDue_ > 0 && online) {
        fillProfile();
        const int slot = e->Option1->isChecked() ? 1 : e->Option2->isChecked() ? 2 : 3;
        allowSlot(slot);
        --savesDue_;
        // Every other save is made in a quiet spell, so the whole way to "Saved and verified"
        // is walked too: a 40 s write under steady faults seldom gets through.
        const bool quiet = (++savesMade_ % 2) == 0;
        if (quiet) beginQuietSpell();
        trace("hand: Save to slot " + std::to_string(slot) + " on schedule" + (quiet ? ", faults paused" : ""));
        count("Save to the station");
        e->Command7->click();
    } else if (runsDue_ > 0 && online) {
        fillProfile(true);
        --runsDue_;
        trace("hand: Run on schedule");
        count("Run");
        e->Command5->click();
        if (e->sequencer().running()) count("run started");
    } else if (savesDue_ == 0 && runsDue_ == 0) {
        trace("hand: Exit Profiles");
        count("Exit Profiles");
        clickAndAnswer([&] { e->Command1->click(); }, true);
    }
}

// The technician at the station: a run waits for the machine's mode to be set by hand.
void ProfileHand::setStationMode(profiles::Profile_Editor_Form& e) {
    const QString status = e.panel(1);
    if (status.startsWith("Process: Waiting for Machine to be PARK")) station_.setMachineMode(core::PositionPark);
    if (status.startsWith("Process: Waiting for Machine to be NORMAL")) station_.setMachineMode(core::PositionNormal);
}

// A run seen through: its questions answered with OK, its messages that offer only a Cancel
// left alone, the station's mode set when asked.
void ProfileHand::patientStep(const std::function<void(const std::string&)>& trace) {
    profiles::Profile_Editor_Form& e = *program_.editor();
    setStationMode(e);
    if (e.alert().loaded() && e.alert().form()->isVisible() && e.alert().form()->Command1->isVisible()) {
        trace("hand: alert OK");
        count("alert OK");
        e.alert().form()->Command1->click();
    }
}

// The station's faults pause while a transfer goes through; they come back once the editor is
// free again or gone.
void ProfileHand::beginQuietSpell() {
    quiet_ = true;
    station_.faults().setEnabled(false);
}

void ProfileHand::endQuietSpell() {
    if (!quiet_) return;
    profiles::Profile_Editor_Form* e = program_.editor();
    if (e && e->isVisible() && e->locked()) return;
    quiet_ = false;
    station_.faults().setEnabled(true);
}

// The tool holds the poller, so a visit opens it, uploads now and then, and leaves.
void ProfileHand::defaultsVisit(const std::function<void(const std::string&)>& trace) {
    trace("hand: open the defaults tool");
    count("open defaults tool");
    plottingBefore_ = program_.state.Settings.AutoTCPlot;
    program_.form.M_Tools_Defaults->trigger();
    if (!clock_.runUntil([&] { return program_.defaultsTool() && program_.defaultsTool()->isVisible(); }, 5000))
        return;
    defaults::Form_Defaults& tool = *program_.defaultsTool();
    const int uploads = int(dice_.between(0, 2));
    for (int i = 0; i < uploads; ++i) {
        const int which = int(dice_.between(0, 3));
        QPushButton* buttons[] = {tool.Command1, tool.Command2, tool.Command3, tool.Command4};
        if (!buttons[which]->isEnabled()) {
            trace("hand: Detect");
            tool.Command5->click();
            continue;
        }
        if (which > 0) allowSlot(which);
        trace("hand: upload " + std::to_string(which));
        count("defaults upload");
        clickAndAnswer([&] { buttons[which]->click(); });
        trace("tool: " + tool.panel(2).toStdString());
    }
    trace("hand: leave the defaults tool");
    tool.Command6->click();
}

// Clicks and closes that land while a transaction's wait pumps events.
void ProfileHand::scheduleInWait(const std::function<void(const std::string&)>& trace) {
    const int delay = int(dice_.between(5, 900));
    const int what = int(dice_.between(0, 3));
    count("inside a wait");
    clock_.schedule(delay, [this, what, trace] {
        profiles::Profile_Editor_Form* e = program_.editor();
        if (!e || !e->isVisible()) return;
        trace("hand, inside a wait: " + std::to_string(what));
        switch (what) {
            case 0:  // the close box
                clickAndAnswer([&] { e->close(); });
                break;
            case 1:
                clickAndAnswer([&] { if (e->Command6->isEnabled()) e->Command6->click(); });
                break;
            case 2: program_.form.M_Profile_Editor->trigger(); break;
            case 3:
                if (e->Command5->isEnabled() && e->sequencer().running()) e->Command5->click();
                break;
        }
    });
}

void ProfileHand::windDown(const std::function<void(const std::string&)>& trace) {
    profiles::Profile_Editor_Form* e = program_.editor();
    if (!e || !e->isVisible()) return;
    trace("hand: wind down");
    if (e->alert().loaded() && e->alert().form()->isVisible()) e->alert().form()->Command2->click();
    if (e->sequencer().running()) e->Command5->click();
    clock_.runUntil([&] { return !program_.editor() || !program_.editor()->locked(); }, 300000);
    clickAndAnswer([&] { if (program_.editor()) program_.editor()->Command1->click(); }, true);
}

// --- the promises ---

std::string ProfileHand::check() {
    if (!runFailure_.empty()) return runFailure_;
    profiles::Profile_Editor_Form* e = program_.editor();
    const bool open = e && e->isVisible();
    if (open) onEditorOpened();
    const bool toolOpen = program_.defaultsTool() && program_.defaultsTool()->isVisible();
    if (editorWasOpen_ && !open && !toolOpen) {
        editorWasOpen_ = false;
        if (program_.state.ExitStage == 0 && !program_.form.isEnabled())
            return "the main window stayed disabled after the editor closed";
        if (program_.state.Settings.AutoTCPlot != plottingBefore_)
            return std::string("plotting was not put back after the editor closed: it is ") +
                   (program_.state.Settings.AutoTCPlot ? "on" : "off") + ", it was " + (plottingBefore_ ? "on" : "off");
        if (!program_.poller.USB_Service_Timer().enabled()) return "the poller stopped after the editor closed";
    }
    if (open) {
        if (std::string f = checkPanel(); !f.empty()) return f;
        if (std::string f = checkLock(); !f.empty()) return f;
        const auto& s = program_.state;
        if (s.ProfileRunActive && !e->sequencer().running() && !e->Cooling_Graph_Timer().enabled())
            return "ProfileRunActive left True with no run and no cooling trace: the alarm and the safety set "
                   "point stay off";
    }
    if (std::string f = checkHeat(); !f.empty()) return f;
    return checkSlots();
}

// A run past its confirmation never keeps heating a board it cannot see: with the probe
// lost for more than 8 s, without any rise in an approach for more than the no-rise limit
// + 5 s, or with the board past X3 + the margin for more than 5 s.
std::string ProfileHand::checkHeat() {
    profiles::Profile_Editor_Form* e = program_.editor();
    const auto& s = program_.state;
    const std::int64_t now = clock_.nowMs();
    const bool heating = e && e->sequencer().running() && s.EditorState != 0 && s.EditorState != 90 &&
                         (station_.upperLevel() > 1 || station_.lowerLevel() > 1);
    const bool fresh = s.LastStatusMs >= 0 && now - s.LastStatusMs <= 2000;
    const bool reading = fresh && s.PcbTemperatureValid;
    auto since = [&](std::int64_t& from, bool condition) {
        if (!condition) from = -1;
        else if (from < 0) from = now;
        return from < 0 ? 0 : now - from;
    };
    if (since(probeLostFromMs_, heating && station_.plugged() && station_.probeError()) > 8000)
        return "a run kept a heater on with the probe lost for more than 8 s";
    const bool approach = s.EditorState == 6 || s.EditorState == 12 || s.EditorState == 17;
    const int target = s.EditorState == 6 ? s.X1SetPointC : s.EditorState == 12 ? s.X2SetPointC : s.X3SetPointC;
    if (!heating || !approach || s.EditorState != heatState_ || (reading && s.PcbTemperature >= target)) {
        noRiseFromMs_ = -1;
    } else if (reading && (noRiseFromMs_ < 0 || s.PcbTemperature > noRiseFromC_)) {
        // Any rise above the lowest reading since the last one restarts the watch: the guard,
        // which samples once a second and wants 2 C, must have acted long before this fires.
        noRiseFromMs_ = now;
        noRiseFromC_ = s.PcbTemperature;
    } else if (reading) {
        noRiseFromC_ = std::min<int>(noRiseFromC_, s.PcbTemperature);
    }
    heatState_ = s.EditorState;
    if (noRiseFromMs_ >= 0 && now - noRiseFromMs_ > std::int64_t(s.GuardLimits.noRiseS + 5) * 1000)
        return "a run kept a heater on without a rise for more than " + std::to_string(s.GuardLimits.noRiseS + 5) +
               " s";
    const bool over = heating && reading && s.PcbTemperature > s.X3SetPointC + s.GuardLimits.overshootC;
    if (since(overshootFromMs_, over) > 5000) return "a run kept a heater on with the board past X3 + margin for 5 s";
    return {};
}

std::string ProfileHand::checkPanel() {
    profiles::Profile_Editor_Form& e = *program_.editor();
    const std::string panel = e.panel(1).toStdString();
    if (panel == lastPanel_) return {};
    lastPanel_ = panel;
    const int slot = slotOfText(panel);
    if (slot < 1 || slot > 3) return {};
    const core::ProfileTransfer held = slotContents(station_.profile(slot));
    const bool fahrenheit = program_.state.Settings.TempUnit != 0;
    if (endsWith(panel, "Saved and verified")) {
        count("saved and verified");
        const auto sent = stationlink::transferFromScreen(screenOf(e), fahrenheit);
        if (!sent || !stationlink::sameStationProfile(*sent, held))
            return "\"" + panel + "\" while the slot holds " + held.Name.toStdString();
    }
    if (endsWith(panel, "Retreived successfully")) {
        count("retrieved successfully");
        const stationlink::RetrievedProfile r = stationlink::screenFromTransfer(held, fahrenheit);
        bool same = r.name == e.Text7->text();
        for (int p = 0; p < 3; ++p) {
            same = same && r.temperatures[std::size_t(p)] == e.temperatureBox(p)->text() &&
                   r.messages[std::size_t(p)] == e.messageBox(p)->text();
            if (const auto l = r.lowerPositions[std::size_t(p)]) same = same && *l == e.lowerList(p)->currentIndex();
            if (const auto u = r.upperPositions[std::size_t(p)]) same = same && *u == e.upperList(p)->currentIndex();
        }
        if (!same) return "\"" + panel + "\" but the screen is not what slot " + std::to_string(slot) + " holds";
    }
    return {};
}

// A transfer holds the editor only while the poller may still serve it.
std::string ProfileHand::checkLock() {
    profiles::Profile_Editor_Form& e = *program_.editor();
    const auto& s = program_.state;
    if (!transferHolds(e, s.EditorState)) {
        lockedSinceMs_ = -1;
        givenUpTicks_ = 0;
        return {};
    }
    if (lockedSinceMs_ < 0) lockedSinceMs_ = clock_.nowMs();
    const int slot = s.EditorState == core::EditorSavePending ? core::SlotProfileWrite : core::SlotProfileRead;
    const bool done = slot == core::SlotProfileWrite ? s.Transfer.WriteDone : s.Transfer.ReadDone;
    const bool abandoned = !done && (!s.RequestFlags[std::size_t(slot)] || !s.MachineOnline);
    if (s.EditorState != lockState_) givenUpTicks_ = 0;  // a new stage of the transfer
    lockState_ = s.EditorState;
    givenUpTicks_ = abandoned ? givenUpTicks_ + 1 : 0;
    if (givenUpTicks_ > 2) return "the editor stayed locked after its transfer was served or the link dropped";
    // The longest honest wait: a minute unserved, a 40 s write and its reply, a read.
    if (clock_.nowMs() - lockedSinceMs_ > 60000 + 62000 + 12000 + 30000)
        return "the editor stayed locked for " + std::to_string((clock_.nowMs() - lockedSinceMs_) / 1000) + " s";
    return {};
}

// A slot changes only when the program was asked to write it; once it is not being
// written any more, what it holds is the new reference.
std::string ProfileHand::checkSlots() {
    const bool toolBusy = program_.defaultsTool() && program_.defaultsTool()->uploader().busy();
    profiles::Profile_Editor_Form* e = program_.editor();
    const bool saving = e && e->isVisible() && transferHolds(*e, program_.state.EditorState);
    for (int slot = 1; slot <= 3; ++slot) {
        const auto& now = station_.profile(slot);
        auto& was = slots_[std::size_t(slot - 1)];
        if (now == was) continue;
        if (!slotMayChange_[std::size_t(slot - 1)]) return "slot " + std::to_string(slot) + " changed unasked";
        was = now;
    }
    if (!toolBusy && !saving && !program_.state.RequestFlags[core::SlotProfileWrite]) slotMayChange_ = {};
    return {};
}

std::string ProfileHand::checkRunEvent(const std::string& e) {
    profiles::Profile_Editor_Form* editor = program_.editor();
    if (!editor) return {};
    // A heater step is asked in a stepping state, or as the step into one.
    if (e.rfind("request ", 0) == 0 && e != "request fan" && !steppingState(program_.state.EditorState))
        requestBeforeState_ = e;
    else if (e.rfind("state ", 0) == 0 && !requestBeforeState_.empty()) {
        const std::string asked = requestBeforeState_;
        requestBeforeState_.clear();
        if (!steppingState(program_.state.EditorState))
            return "the run asked \"" + asked + "\" and went on to state " +
                   std::to_string(program_.state.EditorState);
    }
    // "Stop" withdraws the steps up the run asked for and the poller has not served yet.
    if (e == "stop" && (program_.state.RequestFlags[core::SlotUpperHeaterUp] ||
                        program_.state.RequestFlags[core::SlotLowerHeaterUp]))
        return "\"Stop\" left a heater step up waiting for the poller";
    // A run's record starts when the run is confirmed; a run ended before that leaves the
    // last run's record as it was (a finished run's goes on with the cooling trace).
    if (e == "confirmed") recordOfThisRun_ = true;
    if (e == "finish" || e == "stop" || e == "terminate" || e.rfind("guarded: ", 0) == 0) {
        if (!std::exchange(recordOfThisRun_, false)) return {};
        profiles::RunRecord& record = editor->record();
        if (record.basePath().isEmpty() || record.failed()) return {};
        QFile file(record.basePath() + ".txt");
        if (!file.open(QIODevice::ReadOnly)) return "the run left no summary at " + record.basePath().toStdString();
        const QStringList written =
            QString::fromUtf8(file.readAll()).split(QRegularExpression("[\r\n]+"), Qt::SkipEmptyParts);
        if (written.size() < 10 || !written.value(0).startsWith("outcome: "))
            return "the run summary " + record.basePath().toStdString() + ".txt is incomplete";
        // The figures must be those of the record's own rows.
        QStringList figures;
        for (const QString& l : written)
            if (l.startsWith("peak_C") || l.startsWith("time_above") || l.startsWith("steepest_")) figures << l;
        const bool leadFree = written.contains("alloy: Lead-Free");
        const profiles::RunSummary again =
            profiles::summarizeRun(record.rows(), profiles::RunOutcome::Finished, QString(), {0, 0, 0}, leadFree);
        QStringList expected;
        for (const QString& l : again.lines())
            if (l.startsWith("peak_C") || l.startsWith("time_above") || l.startsWith("steepest_")) expected << l;
        if (figures != expected)
            return "the run summary disagrees with its rows: " + figures.join(" | ").toStdString() + " against " +
                   expected.join(" | ").toStdString();
    }
    return {};
}

}  // namespace testsupport

#include "profiles/transfer_watch.h"

#include "platform/clock.h"
#include "profiles/profile_editor_form.h"
#include "link/station_profile.h"
#include "settings/number_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace profiles {

using stationlink::padRight;
using stationlink::pointBelowZero;
using stationlink::RetrievedProfile;
using stationlink::sameOnScreen;
using stationlink::ScreenProfile;
using stationlink::screenFromTransfer;
using stationlink::transferFromScreen;

namespace {

// Boxes whose text goes to the station, for the refusal of characters a byte cannot carry.
struct TextBox {
    const char* name;
    QLineEdit* box;
};

}  // namespace

TransferWatch::TransferWatch(core::SharedState& state, Profile_Editor_Form& editor, platform::Timer& timer)
    : state_(state), editor_(editor), timer_(timer) {}

bool TransferWatch::pending() const {
    const std::int16_t s = state_.EditorState;
    return s == core::EditorRetrievePending || s == core::EditorSavePending || s == core::EditorVerifyPending;
}

int TransferWatch::selectedSlot() const {
    if (editor_.Option2->isChecked()) return 2;
    if (editor_.Option3->isChecked()) return 3;
    return 1;
}

void TransferWatch::request(int slot, std::int16_t editorState) {
    if (editorState != core::EditorVerifyPending) noteDiagnostics();
    state_.RequestFlags[std::size_t(slot)] = true;
    state_.EditorState = editorState;
    unservedTicks_ = 0;
    timer_.setEnabled(true);
}

// --- Retrieve ---

void TransferWatch::Command6_Click() {
    editor_.stopCooling();
    slot_ = selectedSlot();
    state_.Transfer.ProfileNumber = std::int16_t(slot_);
    editor_.setPanel(1, QString("Retreiving Profile %1 ... ").arg(slot_));
    editor_.LockEditor();
    editor_.Command5->setEnabled(false);
    state_.Transfer.ReadDone = false;
    request(core::SlotProfileRead, core::EditorRetrievePending);
}

// --- Save to the station ---

std::optional<QString> TransferWatch::refusal() const {
    auto shown = [](QLineEdit* box) { return settings::leadingNumber(box->text()); };
    if (shown(editor_.Text3) > shown(editor_.Text5))
        return QString("ERROR: X3 must be greater than or equal X2 ... Please correct");
    if (shown(editor_.Text1) > shown(editor_.Text3))
        return QString("ERROR: X2 must be greater than or equal X1 ... Please correct");
    for (int p = 0; p < 3; ++p)
        if (editor_.messageBox(p)->text().size() > 20)
            return QString("ERROR: (X%1 Message) must be 20 characters maximum ... Please correct").arg(p + 1);
    if (editor_.Text7->text().size() > 12)
        return QString("ERROR: (Profile Name) must be 12 characters maximum ... Please correct");
    // Beyond the designed checks: nothing the station could not store is sent.
    for (int p = 0; p < 3; ++p) {
        bool ok = false;
        editor_.temperatureBox(p)->text().trimmed().toInt(&ok);
        if (!ok) return QString("ERROR: Profile value missing ... Please correct");
    }
    const TextBox texts[] = {{"Profile Name", editor_.Text7},
                             {"X1 Message", editor_.Text2},
                             {"X2 Message", editor_.Text4},
                             {"X3 Message", editor_.Text6}};
    for (const TextBox& t : texts)
        for (QChar c : t.box->text())
            if (c.unicode() > 0xFF) return QString("ERROR: %1 holds a character that cannot be stored").arg(t.name);
    return std::nullopt;
}

void TransferWatch::Command7_Click() {
    editor_.stopCooling();
    if (const auto why = refusal()) {
        editor_.setPanel(1, *why);
        return;
    }
    for (int p = 0; p < 3; ++p) editor_.messageBox(p)->setText(padRight(editor_.messageBox(p)->text(), 20));
    editor_.Text7->setText(padRight(editor_.Text7->text(), 12));

    ScreenProfile screen;
    screen.name = editor_.Text7->text();
    for (int p = 0; p < 3; ++p) {
        screen.temperatures[std::size_t(p)] = editor_.temperatureBox(p)->text();
        screen.messages[std::size_t(p)] = editor_.messageBox(p)->text();
        screen.lowerPositions[std::size_t(p)] = editor_.lowerList(p)->currentIndex();
        screen.upperPositions[std::size_t(p)] = editor_.upperList(p)->currentIndex();
    }
    if (const auto below = pointBelowZero(screen, state_.Settings.TempUnit != 0)) {
        editor_.setPanel(1, QString("ERROR: X%1 is below 0 C, which the KR-9300 cannot store ... Please correct")
                                .arg(*below + 1));
        return;
    }
    const auto transfer = transferFromScreen(screen, state_.Settings.TempUnit != 0);
    if (!transfer) {
        editor_.setPanel(1, "ERROR: Profile value missing ... Please correct");
        return;
    }
    editor_.LockEditor();
    editor_.Command5->setEnabled(false);
    slot_ = selectedSlot();
    editor_.setPanel(1, QString("Saving Profile %1 ... ").arg(slot_));
    editor_.setPanel(2, QString("Saving Profile %1 ... waiting for its turn").arg(slot_));
    sent_ = *transfer;
    sent_.ProfileNumber = std::int16_t(slot_);
    state_.Transfer = sent_;
    state_.Transfer.WriteDone = false;
    request(core::SlotProfileWrite, core::EditorSavePending);
}

// --- the watch ---

bool TransferWatch::doneFlagSays(const core::SharedState&, int, bool done) { return done; }

// The status polls fail while the link stays up, so the request is never served: withdrawn
// (never once the poller has taken it up: the exchange under way may yet succeed).
bool TransferWatch::gaveUpWaiting(int slot) {
    if (!state_.RequestFlags[std::size_t(slot)] || state_.ServingSlot == slot) return false;
    if (++unservedTicks_ < kUnservedTicksLimit) return false;
    state_.RequestFlags[std::size_t(slot)] = false;
    return true;
}

// The poller has served the request and the transaction failed (its slot is cleared while
// the done flag stays down), or the link dropped while the request waited.
bool TransferWatch::requestFailed(int slot, bool done) const {
    if (done) return false;
    return !state_.RequestFlags[std::size_t(slot)] || !state_.MachineOnline;
}

void TransferWatch::ProfileRW_Timer_Timer() {
    timer_.setEnabled(false);
    core::ProfileTransfer& t = state_.Transfer;
    switch (state_.EditorState) {
        case core::EditorRetrievePending:
            if (completed(core::SlotProfileRead, t.ReadDone)) return showRetrieved();
            if (requestFailed(core::SlotProfileRead, t.ReadDone))
                return giveBack(QString("Profile %1 Retrieve failed - see the main window's log").arg(slot_),
                                failureReason());
            if (gaveUpWaiting(core::SlotProfileRead))
                return giveBack(QString("Profile %1 Retrieve failed - the station did not answer").arg(slot_));
            timer_.setEnabled(true);
            return;
        case core::EditorSavePending:
            if (completed(core::SlotProfileWrite, t.WriteDone)) return startVerify();
            if (requestFailed(core::SlotProfileWrite, t.WriteDone))
                return giveBack(QString("Profile %1 Save failed - see the main window's log").arg(slot_),
                                failureReason());
            if (gaveUpWaiting(core::SlotProfileWrite))
                return giveBack(QString("Profile %1 Save failed - the station did not answer").arg(slot_));
            showProgress();
            timer_.setEnabled(true);
            return;
        case core::EditorVerifyPending:
            if (completed(core::SlotProfileRead, t.ReadDone)) return finishVerify(true);
            if (requestFailed(core::SlotProfileRead, t.ReadDone) || gaveUpWaiting(core::SlotProfileRead))
                return finishVerify(false);
            timer_.setEnabled(true);
            return;
        default:
            return;
    }
}

void TransferWatch::showRetrieved() {
    const RetrievedProfile r = screenFromTransfer(state_.Transfer, state_.Settings.TempUnit != 0);
    editor_.Text7->setText(r.name);
    editor_.Text8->setText(QString("Profile %1 on the KR-9300").arg(selectedSlot()));  // not the last file
    for (int p = 0; p < 3; ++p) {
        editor_.temperatureBox(p)->setText(r.temperatures[std::size_t(p)]);
        editor_.messageBox(p)->setText(r.messages[std::size_t(p)]);
        editor_.messageBox(p)->setCursorPosition(0);  // the start of the message in view
        if (const auto u = r.upperPositions[std::size_t(p)]) editor_.upperList(p)->setCurrentIndex(*u);
        if (const auto l = r.lowerPositions[std::size_t(p)]) editor_.lowerList(p)->setCurrentIndex(*l);
    }
    editor_.setPanel(1, QString("Profile %1 Retreived successfully").arg(selectedSlot()));
    editor_.markSaved();
    editor_.UnlockEditor();
    editor_.Command5->setEnabled(true);
    editor_.choosePasteForProfile();
    editor_.refreshCurveFromBoxes();
    state_.Transfer.ReadDone = false;
    state_.Transfer.ProfileNumber = 0;
}

void TransferWatch::startVerify() {
    editor_.setPanel(1, QString("Profile %1 Saved successfully").arg(selectedSlot()));
    editor_.setPanel(2, QString("Reading Profile %1 back to verify it ...").arg(slot_));
    editor_.markSaved();
    state_.Transfer.WriteDone = false;
    state_.Transfer.ReadDone = false;
    state_.Transfer.ProfileNumber = std::int16_t(slot_);
    request(core::SlotProfileRead, core::EditorVerifyPending);
}

void TransferWatch::finishVerify(bool readOk) {
    QString text;
    if (!readOk) text = QString("Profile %1 verify failed: could not read the slot back").arg(slot_);
    else if (sameOnScreen(sent_, state_.Transfer, state_.Settings.TempUnit != 0)) text = QString("Profile %1 Saved and verified").arg(slot_);
    else text = QString("Profile %1 verify failed: the station holds different data").arg(slot_);
    giveBack(text, readOk ? QString() : failureReason());
}

void TransferWatch::noteDiagnostics() {
    diagnosticsBefore_ = state_.Diagnostics.size();
    lastLineBefore_ = state_.Diagnostics.lines().value(diagnosticsBefore_ - 1);
}

QString TransferWatch::failureReason() const {
    const QStringList& lines = state_.Diagnostics.lines();
    // The lines after the one that was last when the transfer began (found again from the
    // end when older lines have gone meanwhile).
    int from = diagnosticsBefore_;
    if (from > lines.size() || (from > 0 && lines.value(from - 1) != lastLineBefore_))
        from = lastLineBefore_.isEmpty() ? 0 : int(lines.lastIndexOf(lastLineBefore_)) + 1;
    QStringList added = lines.mid(from);
    if (added.size() > 3) added = added.mid(added.size() - 3);
    QString reason = added.join(", ");
    if (!state_.MachineOnline) reason = reason.isEmpty() ? "the KR-9300 went offline" : "the KR-9300 went offline: " + reason;
    return reason.isEmpty() ? QString() : "Reason: " + reason;
}

void TransferWatch::showProgress() {
    const auto p = progress_ ? progress_() : std::nullopt;
    if (!p) {
        editor_.setPanel(2, QString("Saving Profile %1 ... waiting for its turn").arg(slot_));
        return;
    }
    editor_.setPanel(2, QString("Saving Profile %1 ... %2/%3, %4 s left")
                            .arg(slot_)
                            .arg(p->sent)
                            .arg(p->total)
                            .arg((p->msLeft + 999) / 1000));
}

void TransferWatch::giveBack(const QString& status, const QString& reason) {
    state_.RequestFlags[core::SlotProfileRead] = false;
    state_.RequestFlags[core::SlotProfileWrite] = false;
    state_.Transfer.ProfileNumber = 0;
    state_.Transfer.ReadDone = false;
    state_.Transfer.WriteDone = false;
    editor_.setPanel(1, status);
    editor_.setPanel(2, reason);  // a failure's own words, beside the designed text
    editor_.UnlockEditor();
    editor_.Command5->setEnabled(true);
}

}  // namespace profiles

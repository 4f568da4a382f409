// The editor's paste: the Paste list and its memory per profile name, the designed curve
// checked against the paste's window, and the run judged against it at its end.
#include "profiles/profile_editor_form.h"

#include "process/judgement.h"
#include "profiles/paste_windows_form.h"
#include "profiles/run_picture.h"
#include "settings/own_settings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace profiles {

namespace {

std::vector<process::Row> judgedRows(const std::vector<RunRow>& rows) {
    std::vector<process::Row> ticks;
    ticks.reserve(rows.size());
    for (const RunRow& r : rows)
        if (r.tick()) ticks.push_back({r.elapsedS, r.boardC});
    return ticks;
}

QString alloyPaste(bool leadFree) { return leadFree ? process::kLeadFreePaste : process::kLeadedPaste; }

}  // namespace

// --- the list ---

void Profile_Editor_Form::fillPasteList() {
    const QString kept = pasteName();
    if (own_) userWindows_ = process::loadUserWindows(*own_);
    const QSignalBlocker quiet(cboPaste);
    cboPaste->clear();
    for (const QString& name : process::pasteChoices(userWindows_)) {
        cboPaste->addItem(name);
        const auto w = process::findWindow(process::allWindows(userWindows_), name);
        cboPaste->setItemData(cboPaste->count() - 1,
                              w ? QString("%1: liquidus %2 C, peak %3-%4 C")
                                      .arg(name)
                                      .arg(w->liquidusC)
                                      .arg(w->peakLowC)
                                      .arg(w->peakHighC)
                                : QString("No paste: the run gets no verdict"),
                              Qt::ToolTipRole);
    }
    const int at = kept.isEmpty() ? -1 : cboPaste->findText(kept, Qt::MatchFixedString);
    if (at >= 0) cboPaste->setCurrentIndex(at);
    else choosePasteForProfile();
}

QString Profile_Editor_Form::pasteName() const { return cboPaste->currentText(); }

// The curve is checked by whoever draws it anew.
void Profile_Editor_Form::choosePasteForProfile() {
    const bool leadFree = Option5->isChecked();
    const QString name = own_ ? process::pasteForProfile(*own_, Text7->text().trimmed(), leadFree, userWindows_)
                              : alloyPaste(leadFree);
    cboPaste->setCurrentIndex(std::max(0, cboPaste->findText(name, Qt::MatchFixedString)));
}

// Leaded and Lead-Free bring their own paste, unless the operator chose one of the user's
// windows or "None".
void Profile_Editor_Form::followAlloy() {
    if (process::isBuiltIn(pasteName()))
        cboPaste->setCurrentIndex(std::max(0, cboPaste->findText(alloyPaste(Option5->isChecked()))));
    checkCurveAgainstPaste();
}

void Profile_Editor_Form::cboPaste_Activated() {
    if (own_) own_->rememberPaste(Text7->text().trimmed(), pasteName());
    checkCurveAgainstPaste();
}

void Profile_Editor_Form::cmdPasteWindows_Click() {
    if (!own_) return;
    auto* form = new PasteWindowsForm(*own_, dialogs_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setChangedHandler([this] { fillPasteList(); });
    if (const auto w = pasteWindow()) form->select(w->name);
    form->show();
}

// The paste chosen in the list; none for "None".
std::optional<process::PasteWindow> Profile_Editor_Form::pasteWindow() const {
    return process::findWindow(process::allWindows(userWindows_), pasteName());
}

// --- before a run ---

// The designed curve against the paste's window: what falls outside is listed in panel 2
// ("Curve: peak 190 C below 205-235 C").
void Profile_Editor_Form::checkCurveAgainstPaste() {
    if (locked_ || run_->running()) return;
    const auto window = pasteWindow();
    const CurveArray curveC = ComputeProfileCurve(state_.X1SetPointC, state_.X2SetPointC, state_.X3SetPointC,
                                                  Option5->isChecked() ? Alloy::LeadFree : Alloy::Leaded, false);
    const QStringList outside =
        window ? process::checkCurve(std::span<const double>(curveC.data(), curveC.size()), *window) : QStringList();
    if (!outside.isEmpty()) setPanel(2, outside.join("; "));
    else if (panel(2).startsWith("Curve: ")) setPanel(2, QString());
}

// --- at a run's end ---

// A finished run is judged once the board has cooled through the liquidus (or the cooling
// trace ends first); any other end is judged at once.
void Profile_Editor_Form::endRecord(RunOutcome outcome, const QString& reason) {
    if (!record_->recording()) return;
    runOutcome_ = outcome;
    const RunSummary summary = record_->endRun(outcome, reason);
    if (outcome == RunOutcome::Finished && runPaste_) {
        judgementDue_ = true;
        setPanel(2, summary.shortText() + "  |  " + coolingNote());
        return;
    }
    judgeRun();
}

bool Profile_Editor_Form::cooledThrough() const {
    return runPaste_ && process::coolingSeen(judgedRows(record_->rows()), *runPaste_);
}

QString Profile_Editor_Form::coolingNote() const {
    return runPaste_ ? QString("verdict once below %1 C").arg(runPaste_->liquidusC) : QString();
}

// The verdict from every row so far: the summary file written anew with it and its table,
// panel 2, and the run picture beside the record.
void Profile_Editor_Form::judgeRun() {
    judgementDue_ = false;
    runJudged_ = true;
    const process::Judgement j =
        process::judgeRun(judgedRows(record_->rows()), runPaste_, runOutcome_ != RunOutcome::Finished);
    const RunSummary summary = record_->summary();
    const QString verdict = j.line();
    if (!record_->basePath().isEmpty()) record_->writeSummary(QStringList{"verdict: " + verdict} + j.tableLines());
    setPanel(2, verdict + "  |  " + summary.shortText());
    // A record that could not be written has said so; no picture beside it then.
    if (record_->basePath().isEmpty() || record_->failed()) return;
    runFacts_.txtPath = record_->basePath() + ".txt";
    const QImage chart = runPaste_ ? chart_->picture({runPaste_->liquidusC, runPaste_->soakLowC, runPaste_->soakHighC,
                                                      runPaste_->peakLowC, runPaste_->peakHighC})
                                   : chart_->picture();
    const QString picture = record_->basePath() + ".png";
    if (!runPicture(captionedPicture(chart, profileCaption()), summary, {verdict}).save(picture, "PNG"))
        setPanel(2, summary.shortText() + " (the run picture could not be written to " + picture + ")");
    else
        runFacts_.pngPath = picture;
    runFacts_.ended = true;
    refreshOverlayTable();
    if (onRunEnded_) onRunEnded_(runFacts_);
}

}  // namespace profiles

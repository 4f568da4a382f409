#include "profiles/profile_editor_form.h"

#include "core/shared_state.h"
#include "core/status_age.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/picture_file.h"
#include "profiles/run_picture.h"
#include "settings/own_settings.h"
#include "ui/save_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <QStatusBar>
#include <QToolButton>

#include <cmath>

namespace profiles {

namespace {
const QStringList kLowerEntries{"OFF", "PERHEAT", "REFLOW", "FAST REFLOW"};
const QStringList kUpperEntries{"OFF", "REFLOW", "FAST REFLOW"};
const QStringList kModeEntries{"Normal Mode", "Park Mode"};
constexpr int kNormal = 0, kPark = 1;
}  // namespace

Profile_Editor_Form::Profile_Editor_Form(core::SharedState& state, platform::Clock& clock, platform::Dialogs& dialogs,
                                         EditorFolders folders, std::function<void(bool)> enableMainWindow,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window),
      state_(state),
      clock_(clock),
      dialogs_(dialogs),
      folders_(std::move(folders)),
      enableMainWindow_(std::move(enableMainWindow)) {
    setObjectName("Profile_Editor_Form");
    setWindowTitle("KR-9300 Profile Editor");
    buildControls();
    // The alert is a window of its own: as a child it would be disabled with the editor.
    alert_ = std::make_unique<ui::RunAlert>(state_, clock_, folders_.program, [this](bool on) { setEnabled(on); });
    run_ = std::make_unique<RunSequencer>(state_, clock_, *this, *alert_);
    record_ = std::make_unique<RunRecord>(state_, clock_);
    coolingTimer_ = clock_.createTimer(1000, [this] { Cooling_Graph_Timer_Timer(); });
    rwTimer_ = clock_.createTimer(500, [this] { ProfileRW_Timer_Timer(); });
    rwTimer_->setEnabled(true);
    liveTimer_ = clock_.createTimer(500, [this] {
        showLiveValues();
        keepTitleBarOnScreen();
    });
    liveTimer_->setEnabled(true);
    transfer_ = std::make_unique<TransferWatch>(state_, *this, *rwTimer_);
    run_->setEventSink([this](const QString& e) { runEvent(e); });
    alert_->setAnswerSink([this](const QString& a) { record_->event("answer: " + a); });
    record_->setFailureSink([this](const QString& t) { setPanel(2, t); });
    record_->setProgressSink([this](const QString& t) {
        if (!runJudged_) setPanel(2, judgementDue_ ? t + "  |  " + coolingNote() : t);
    });
    connectControls();
    bindFieldChecks();
}

Profile_Editor_Form::~Profile_Editor_Form() {
    if (judgementDue_) judgeRun();
    record_->close();
    alert_->unload();
}

void Profile_Editor_Form::connectControls() {
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    connect(Option4, &QRadioButton::clicked, this, [this] { Option4_Click(); });
    connect(Option5, &QRadioButton::clicked, this, [this] { Option5_Click(); });
    connect(cboPaste, &QComboBox::activated, this, [this] { cboPaste_Activated(); });
    connect(cmdPasteWindows, &QToolButton::clicked, this, [this] { cmdPasteWindows_Click(); });
    // A name typed in brings back the paste last chosen for it.
    connect(Text7, &QLineEdit::editingFinished, this, [this] {
        if (!own_ || own_->lastPaste(Text7->text().trimmed()).isEmpty()) return;
        choosePasteForProfile();
        checkCurveAgainstPaste();
    });
}

// --- controls by point ---

QLineEdit* Profile_Editor_Form::temperatureBox(int p) const { return std::array{Text1, Text3, Text5}[std::size_t(p)]; }
QLineEdit* Profile_Editor_Form::messageBox(int p) const { return std::array{Text2, Text4, Text6}[std::size_t(p)]; }
QComboBox* Profile_Editor_Form::lowerList(int p) const { return std::array{Combo1, Combo3, Combo5}[std::size_t(p)]; }
QComboBox* Profile_Editor_Form::upperList(int p) const { return std::array{Combo2, Combo4, Combo6}[std::size_t(p)]; }
QComboBox* Profile_Editor_Form::modeList(int p) const { return std::array{Combo7, Combo8, Combo9}[std::size_t(p)]; }
QCheckBox* Profile_Editor_Form::fanBox(int p) const { return std::array{Check1, Check2, Check3}[std::size_t(p)]; }

QList<QWidget*> Profile_Editor_Form::lockableControls() const {
    return {Text1,    Text2,    Text3,    Text4,    Text5,    Text6,    Text7,    Text8,    Combo1,   Combo2,   Combo3,
            Combo4,   Combo5,   Combo6,   Combo7,   Combo8,   Combo9,   Option1,  Option2,  Option3,  Option4,  Option5,
            Command1, Command2, Command3, Command4, Command6, Command7, Command8, Command9, Check1,   Check2,   Check3};
}

// --- opening ---

// Shown at the top left corner of the screen with its title bar: the frame's position is
// asked for once the window is mapped, so the window manager puts the frame, not the client
// area, in the corner.
void Profile_Editor_Form::showAtTopLeft() {
    show();
    if (QWindow* w = windowHandle(); w && w->screen()) w->setFramePosition(w->screen()->availableGeometry().topLeft());
}

// A window manager may still put the client area in the corner and the title bar above the
// screen; once the frame is known the window is moved down onto the screen, once.
void Profile_Editor_Form::keepTitleBarOnScreen() {
    if (titleBarPlaced_ || !isVisible() || !screen()) return;
    const QRect frame = frameGeometry();
    if (frame == geometry()) return;  // not framed yet
    titleBarPlaced_ = true;
    const QRect available = screen()->availableGeometry();
    if (frame.top() < available.top() || frame.left() < available.left()) move(available.topLeft());
}

void Profile_Editor_Form::Form_Load() {
    if (enableMainWindow_) enableMainWindow_(false);
    move(0, 0);
    chart_->TcTrace.clear();
    plotWasOn_ = false;
    if (state_.Settings.AutoTCPlot) {
        state_.Settings.AutoTCPlot = false;
        plotWasOn_ = true;
    }
    Option4->setChecked(true);
    state_.ProfileRunActive = false;
    chart_->RequestChartRedraw();
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5, Text6}) box->clear();
    Text7->setText("Untitled");
    Text8->clear();
    Option1->setChecked(true);
    fillLists();
    fillPasteList();
    choosePasteForProfile();
    if (!state_.MachineOnline)
        for (QWidget* w : QList<QWidget*>{Command5, Command6, Command7, Command9, Option1, Option2, Option3})
            w->setEnabled(false);
    const QString unit = state_.Settings.TempUnit != 0 ? " F" : " C";
    for (QLabel* l : Label2) l->setText(unit);
    if (!state_.PcbTemperatureValid) Command5->setEnabled(false);
    run_->MyDelayTimer().tag = false;
    state_.EditorState = core::EditorIdle;
    markSaved();
}

void Profile_Editor_Form::fillLists() {
    for (int p = 0; p < 3; ++p) {
        lowerList(p)->clear();
        lowerList(p)->addItems(kLowerEntries);
        upperList(p)->clear();
        upperList(p)->addItems(kUpperEntries);
        modeList(p)->clear();
        modeList(p)->addItems(kModeEntries);
        lowerList(p)->setCurrentIndex(0);
        upperList(p)->setCurrentIndex(0);
        modeList(p)->setCurrentIndex(p == 0 ? kPark : kNormal);
        fanBox(p)->setChecked(false);
    }
}

// The command the main window asked for runs once, right after the first paint (not inside
// it: the open command shows a dialog).
void Profile_Editor_Form::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!state_.NewProfileOnShow && !state_.OpenProfileOnShow) return;
    const bool runNew = state_.NewProfileOnShow, runOpen = state_.OpenProfileOnShow;
    state_.NewProfileOnShow = false;
    state_.OpenProfileOnShow = false;
    QPointer<Profile_Editor_Form> self(this);
    clock_.schedule(0, [self, runNew, runOpen] {
        if (!self) return;
        if (runNew) self->Command2_Click();
        if (runOpen) self->Command3_Click();
    });
}

// --- commands ---

void Profile_Editor_Form::stopCooling() {
    setCoolingTrace(false);
    state_.ProfileRunActive = false;
}

void Profile_Editor_Form::Command2_Click() {
    settleChanges([this] { newProfile(); });
}

void Profile_Editor_Form::newProfile() {
    stopCooling();
    restartTrace();
    resetRecord();
    markSaved();
}

void Profile_Editor_Form::resetRecord() {
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5, Text6}) box->clear();
    Text7->setText("Untitled");
    Text8->clear();
    Option4->setChecked(true);
    Option1->setChecked(true);
    fillLists();
    choosePasteForProfile();
}

void Profile_Editor_Form::Command1_Click() {
    settleChanges([this] { closeNow(); });
}

void Profile_Editor_Form::closeNow() {
    if (closing_) return;
    leave();
    closing_ = true;
    close();
    if (onClosed_) onClosed_();
}

void Profile_Editor_Form::leave() {
    stopCooling();
    if (plotWasOn_) state_.Settings.AutoTCPlot = true;
    plotWasOn_ = false;
    if (enableMainWindow_) enableMainWindow_(true);
}

// The title bar's close box: "Exit Profiles" when idle; refused while a transfer or a run
// holds the editor locked.
void Profile_Editor_Form::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (locked_) {
        event->ignore();
        setPanel(2, kBusyClosing);
        return;
    }
    if (hasUnsavedChanges()) {
        event->ignore();
        // Closed from the main loop, not from inside this close.
        QPointer<Profile_Editor_Form> self(this);
        settleChanges([self] {
            if (self)
                self->clock_.schedule(0, [self] {
                    if (self) self->closeNow();
                });
        });
        return;
    }
    leave();
    closing_ = true;
    event->accept();
    if (onClosed_) onClosed_();
}

void Profile_Editor_Form::Command5_Click() { run_->Command5_Click(); }

// Save Graph: the chart as last built with the profile's name and points on it, by the
// main window's rules for names; a picture that cannot be written is said.
void Profile_Editor_Form::Command8_Click() {
    stopCooling();
    const ui::SaveRequest request{"Save Graph",
                                  "JPG Picture (*.jpg)|*.jpg|PNG Picture (*.png)|*.png|GIF Picture (*.gif)|*.gif|"
                                  "BMP Picture (*.bmp)|*.bmp",
                                  QString(), QStringList{"jpg", "png", "gif", "bmp"}, "pictures are"};
    const QImage picture = captionedPicture(chart_->picture(), profileCaption());
    QPointer<Profile_Editor_Form> self(this);
    ui::askSaveName(dialogs_, platform::documentsFolder(folders_.program), request, [self, picture](const QString& name) {
        QString error;
        if (self && !platform::savePicture(picture, name, &error)) self->dialogs_.message("Save Graph", error);
    });
}

QString Profile_Editor_Form::profileCaption() const {
    const QString name = Text7->text().trimmed().isEmpty() ? QString("Untitled") : Text7->text().trimmed();
    const QString unit = state_.Settings.TempUnit != 0 ? " F" : " C";
    QStringList points;
    for (int p = 0; p < 3; ++p) {
        const QString t = temperatureBox(p)->text().trimmed();
        points << QString("X%1 %2").arg(p + 1).arg(t.isEmpty() ? QString("--") : t + unit);
    }
    return name + ":  " + points.join(",  ");
}

void Profile_Editor_Form::Command9_Click() { state_.RequestFlags[core::SlotFan] = true; }

// The alloy moves the curve's time points at once (once there is a curve to move).
void Profile_Editor_Form::Option4_Click() {
    followAlloy();
    if (chart_->hasCurve()) redrawCurve();
}
void Profile_Editor_Form::Option5_Click() {
    followAlloy();
    if (chart_->hasCurve()) redrawCurve();
}

// The cooling trace after a run; the verdict once the board has cooled through the liquidus.
void Profile_Editor_Form::Cooling_Graph_Timer_Timer() {
    appendSample();
    if (judgementDue_ && cooledThrough()) judgeRun();
}

void Profile_Editor_Form::ProfileRW_Timer_Timer() { transfer_->ProfileRW_Timer_Timer(); }

QString Profile_Editor_Form::liveText() const {
    if (!state_.MachineOnline && state_.LastStatusMs < 0) return "KR-9300 offline";
    const bool fahrenheit = state_.Settings.TempUnit != 0;
    const QString board = state_.PcbTemperatureValid
                              ? QString::number(std::lround(displayTemperature(state_.PcbTemperature, fahrenheit))) +
                                    (fahrenheit ? " F" : " C")
                              : QString("PROBE ERR");
    QString text = "PCB " + board + "  U.H. " + RunSequencer::upperName(state_.UpperHeaterMode) + "  L.H. " +
                   RunSequencer::lowerName(state_.LowerHeaterMode) + "  Fan " +
                   (state_.FanState == 1 ? "ON" : state_.FanState == 0 ? "OFF" : "N/A");
    if (!core::statusFresh(state_, clock_.nowMs())) text += " (no reply)";
    return text;
}

// Retrieve, Save, Run and FAN follow the link and the probe while nothing holds the editor;
// offline, panel 2 says why they are grey.
void Profile_Editor_Form::followLink() {
    if (locked_) return;
    const bool online = state_.MachineOnline;
    for (QWidget* w : QList<QWidget*>{Command6, Command7, Command9, Option1, Option2, Option3}) w->setEnabled(online);
    Command5->setEnabled(run_->running() || (online && state_.PcbTemperatureValid));
    if (online == linkShownUp_) return;
    linkShownUp_ = online;
    if (!online && !panel(2).startsWith("Reason: ")) setPanel(2, kOfflineNote);  // a failure's reason says it
    else if (panel(2) == kOfflineNote) setPanel(2, QString());
}

void Profile_Editor_Form::showLiveValues() {
    followLink();
    QLabel* label = panels_[2];
    const QString text = liveText();
    if (label->text() == text) return;
    label->setText(text);
    const bool stale = text.endsWith("(no reply)") || text.endsWith("offline");
    const QString style = stale ? "color: #9a9a9a;" : QString();
    if (label->styleSheet() != style) label->setStyleSheet(style);  // re-styling costs even when the same
    label->setToolTip(stale ? "No reply from the KR-9300: these are the last values it sent." : text);
}

void Profile_Editor_Form::Command6_Click() {
    settleChanges([this] { transfer_->Command6_Click(); });
}
void Profile_Editor_Form::Command7_Click() { transfer_->Command7_Click(); }

void Profile_Editor_Form::refreshCurveFromBoxes() {
    const bool fahrenheit = state_.Settings.TempUnit != 0;
    std::int16_t* copies[] = {&state_.X1SetPointC, &state_.X2SetPointC, &state_.X3SetPointC};
    for (int p = 0; p < 3; ++p)
        if (const auto c = RunSequencer::boxCelsius(temperatureBox(p)->text(), fahrenheit)) *copies[p] = *c;
    redrawCurve();
}

void Profile_Editor_Form::redrawCurve() {
    chart_->ComputeProfileCurve(Option5->isChecked() ? Alloy::LeadFree : Alloy::Leaded);
    chart_->RequestChartRedraw();
    checkCurveAgainstPaste();
}

// --- lock and alert ---

void Profile_Editor_Form::LockEditor() {
    locked_ = true;
    for (QWidget* w : lockableControls()) w->setEnabled(false);
    for (QWidget* w : QList<QWidget*>{cboPaste, cmdPasteWindows}) w->setEnabled(false);
}

void Profile_Editor_Form::UnlockEditor() {
    locked_ = false;
    for (QWidget* w : lockableControls()) w->setEnabled(true);
    for (QWidget* w : QList<QWidget*>{cboPaste, cmdPasteWindows}) w->setEnabled(true);
    if (panel(2) == kBusyClosing) setPanel(2, QString());
}

void Profile_Editor_Form::ShowRunAlert(const QString& title, const QString& message, int beepIntervalMs,
                                       bool hideOk) {
    alert_->ShowRunAlert(title, message, beepIntervalMs, hideOk);
}

void Profile_Editor_Form::setPanel(int panel, const QString& text) {
    if (panel < 1 || panel > 2) return;  // panel 3 shows the live values
    QLabel* label = panels_[std::size_t(panel - 1)];
    label->setText(text);
    label->setToolTip(text);  // a long summary is cut at the window's edge
}

QString Profile_Editor_Form::panel(int panel) const {
    return panel >= 1 && panel <= 2 ? panels_[std::size_t(panel - 1)]->text() : QString();
}

// --- what the run reads and does ---

RunEditor::Point Profile_Editor_Form::point(int p) const {
    return {temperatureBox(p)->text(), messageBox(p)->text(), lowerList(p)->currentIndex(),
            upperList(p)->currentIndex(), modeList(p)->currentIndex(), fanBox(p)->isChecked()};
}

void Profile_Editor_Form::setRunCaption(const QString& caption) { Command5->setText(caption); }
QString Profile_Editor_Form::runCaption() const { return Command5->text(); }

void Profile_Editor_Form::appendSample() {
    const std::int64_t now = clock_.nowMs();
    chart_->AppendTcSampleAt(int((now - traceStartMs_ + 500) / 1000), core::statusFresh(state_, now));
}

void Profile_Editor_Form::askYesNo(const QString& text, std::function<void(bool)> answered) {
    dialogs_.askYesNo(windowTitle(), text, std::move(answered));
}

void Profile_Editor_Form::setCoolingTrace(bool on) {
    coolingTimer_->setEnabled(on);
    // The cooling trace of the last run ends its record, judged by then; a run still going
    // keeps it.
    if (on || run_->running()) return;
    if (judgementDue_) judgeRun();
    record_->close();
}

void Profile_Editor_Form::restartTrace() {
    traceStartMs_ = clock_.nowMs();
    chart_->TcTrace.requestReset();
    chart_->TcSampleCount = 0;
    chart_->RequestChartRedraw();
}

// --- the run record ---

void Profile_Editor_Form::runEvent(const QString& e) {
    if (e == "confirmed") {
        refreshCurveFromBoxes();  // the chart shows the profile being run, not the one last checked
        beginRecord();
    }
    record_->event(e);
    if (e == "finish") endRecord(RunOutcome::Finished);
    else if (e == "terminate") endRecord(RunOutcome::Terminated);
    else if (e == "stop") endRecord(RunOutcome::Stopped);
    else if (e.startsWith("guarded: ")) {
        endRecord(RunOutcome::Guarded, e.mid(9));
        if (onGuardStop_) onGuardStop_(e.mid(9));
    }
    if (runObserver_) runObserver_(e);
}

void Profile_Editor_Form::beginRecord() {
    RunRecord::Setup setup;
    setup.programFolder = folders_.program;
    setup.userDataFolder = folders_.userData;
    setup.profileName = Text7->text().trimmed();  // a station save pads the name with blanks
    for (int p = 0; p < 3; ++p)
        setup.pointsC[std::size_t(p)] =
            RunSequencer::boxCelsius(temperatureBox(p)->text(), state_.Settings.TempUnit != 0).value_or(0);
    setup.leadFree = Option5->isChecked();
    setup.board = board();
    setup.operatorName = operatorName();
    setup.started = QDateTime::currentDateTime();
    // The profile column follows the curve in Celsius, whatever unit the window shows.
    const CurveArray curveC = ComputeProfileCurve(std::int16_t(setup.pointsC[0]), std::int16_t(setup.pointsC[1]),
                                                  std::int16_t(setup.pointsC[2]),
                                                  setup.leadFree ? Alloy::LeadFree : Alloy::Leaded, false);
    setup.profileC = [curveC](int second) -> std::optional<double> {
        if (second < 0 || second >= int(curveC.size()) || std::isnan(curveC[std::size_t(second)])) return std::nullopt;
        return curveC[std::size_t(second)];
    };
    record_->begin(setup);
    runPaste_ = pasteWindow();
    judgementDue_ = false;
    runJudged_ = false;
    if (own_) own_->rememberPaste(setup.profileName, pasteName());
    runFacts_ = RunFacts{recordFromControls(), setup.pointsC, setup.started, setup.board, setup.operatorName,
                         runPaste_ ? runPaste_->name : QString(process::kNoPaste), record_->csvPath()};
    refreshOverlayTable();
    if (onRunStarted_ && !record_->failed()) onRunStarted_(runFacts_);
}

}  // namespace profiles

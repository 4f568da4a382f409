#include "mainwin/form1.h"

#include "core/shared_state.h"
#include "link/offline_display.h"
#include "link/poller.h"
#include "platform/program_folder.h"
#include "settings/number_text.h"
#include "settings/limits.h"
#include "settings/settings_file.h"
#include "ui/picture_at_size.h"
#include "platform/dialogs.h"
#include "platform/shell.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGraphicsOpacityEffect>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <qcustomplot.h>

namespace mainwin {

Form1::Form1(core::SharedState& state, platform::Dialogs& dialogs, platform::Shell& shell,
             settings::SettingsFile& settingsFile, QString programFolder, QWidget* parent)
    : QMainWindow(parent),
      state_(state),
      dialogs_(dialogs),
      shell_(shell),
      settingsFile_(settingsFile),
      programFolder_(std::move(programFolder)),
      trendModel_(state) {
    setObjectName("Form1");
    setWindowTitle("KR-9300 Control Room  [Machine Offline]");  // the design caption, until the load
    buildMenus();
    buildToolbar();
    buildPanel();
    trend_ = std::make_unique<TrendChart>(*ChartViewer1, trendModel_, programFolder_);
    upperGauge_ = std::make_unique<HeaterGauge>(*ChartViewer2, GaugeSpec::upper());
    lowerGauge_ = std::make_unique<HeaterGauge>(*ChartViewer3, GaugeSpec::lower());
    state_.Diagnostics.setObserver([this] { refreshList(); });
    // The window sees the diagnostics key before any of its controls does.
    qApp->installEventFilter(this);
    fitToContents();
}

Form1::~Form1() {
    qApp->removeEventFilter(this);
    state_.Diagnostics.setObserver({});
}

void Form1::setMenuAction(QAction* entry, std::function<void()> action) {
    menuActions_[entry] = std::move(action);
    if (entry == M_File_New_Profile || entry == M_File_Open_Profile || entry == M_Profile_Editor ||
        entry == M_Profile_Run_Records || entry == M_Profile_Paste_Windows || entry == M_Profile_Run_History ||
        entry == M_Help_About)
        entry->setEnabled(true);
}

QString Form1::picturePath(const QString& fileName) const { return platform::picturePath(programFolder_, fileName); }

void Form1::Form_Load() {
    trendModel_.clear();
    upperGauge_->draw(1, false);
    lowerGauge_->draw(1, false);

    state_.MachineOnline = false;
    state_.PlottedSamples = 0;
    state_.TraceResetRequested = true;
    state_.ConnectAttempts = 0;
    state_.PollerBusy = false;
    state_.ExitStage = core::ExitIdle;
    state_.UpperHeaterModeChanged = state_.LowerHeaterModeChanged = state_.MachineModeChanged = true;
    state_.SafetyTripped = false;

    const auto result = settingsFile_.Read_INI();
    if (result.plotCaptionStop) Command12->setText(*result.plotCaptionStop ? "Stop Plotting" : "Start Plotting");
    if (result.outcome == settings::SettingsFile::ReadResult::LoadError) return;  // the list has the code

    lockAlarmGroup();
    Text1->clear();
    Label2->setText(state_.Settings.TempUnit != 0 ? "F" : "C");
    redrawTrend();
    stationlink::showOfflineDisplay(*this);
    state_.Transfer.ProfileNumber = 0;
    state_.OpenProfileOnShow = false;
    state_.NewProfileOnShow = false;
}

// --- what the poller shows ---

void Form1::setStatusPanel(int panel, const QString& text) {
    if (panel >= 1 && panel <= 3) StatusBar1[std::size_t(panel - 1)]->setText(text);
}

void Form1::setCaption(const QString& text) { setWindowTitle(text); }

void Form1::setLcdLine(int index, const QString& text) {
    // A line edit repaints on every setText, even of the text it shows.
    if (index >= 0 && index < 4 && Text_LCD[std::size_t(index)]->text() != text) Text_LCD[std::size_t(index)]->setText(text);
}

void Form1::setLcdBackground(stationlink::Rgb c) {
    lcdColour_ = c;
    applyLcdStyle();
}

// The designed background; the text dimmed and slanted while the values are stale.
void Form1::applyLcdStyle() {
    const stationlink::Rgb c = lcdColour_;
    const QString style = QString("QLineEdit { background: rgb(%1, %2, %3); color: %4; font-style: %5; }")
                              .arg(c.r)
                              .arg(c.g)
                              .arg(c.b)
                              .arg(liveValuesStale() ? "rgb(70, 110, 70)" : "black")
                              .arg(liveValuesStale() ? "italic" : "normal");
    if (style == lcdStyle_) return;
    lcdStyle_ = style;
    for (QLineEdit* l : Text_LCD) l->setStyleSheet(style);
}

void Form1::setTemperatureLabel(const QString& text) { Label3->setText(text); }
void Form1::setTemperatureLabelVisible(bool visible) { Label3->setVisible(visible); }

void Form1::showModePicture(const QString& fileName, const QString& caption) {
    const QPixmap picture = ui::pictureAtSize(picturePath(fileName), Picture1->size());
    if (picture.isNull()) Picture1->clear();  // a missing picture leaves the box empty
    else Picture1->setPixmap(picture);
    Label1->setText(caption);
}

void Form1::setUpperGauge(int code) { upperGauge_->draw(code, state_.MachineOnline); }
void Form1::setLowerGauge(int code) { lowerGauge_->draw(code, state_.MachineOnline); }
void Form1::addTrendSample(std::int16_t celsius) { trendModel_.AppendTrendSample(celsius); }
void Form1::redrawTrend() { trend_->DrawTrendChart(); }

void Form1::setMenuEnabled(stationlink::ToolsMenu menu, bool enabled) {
    QAction* a = nullptr;
    switch (menu) {
        case stationlink::ToolsMenu::Connect: a = M_Tools_Connect; break;
        case stationlink::ToolsMenu::Disconnect: a = M_Tools_Disconnect; break;
        case stationlink::ToolsMenu::Defaults: a = M_Tools_Defaults; break;
        case stationlink::ToolsMenu::Options: a = M_Tools_Options; break;
    }
    // An entry whose window is not there stays disabled.
    if (enabled && a != M_Tools_Connect && !menuActions_.count(a)) enabled = false;
    a->setEnabled(enabled);
}

void Form1::showAlarmThreshold(const QString& text, int sliderMax, int sliderValue, const QString& unit) {
    Text1->setText(text);
    Slider1->setMaximum(sliderMax);
    Slider1->setValue(sliderValue);
    Label2->setText(unit);
}

void Form1::setStationControlsEnabled(bool enabled) {
    for (QWidget* w : {static_cast<QWidget*>(cmdUhUp), static_cast<QWidget*>(cmdUhDown),
                       static_cast<QWidget*>(cmdLhUp), static_cast<QWidget*>(cmdLhDown),
                       static_cast<QWidget*>(CmdCancel), static_cast<QWidget*>(Check1)})
        w->setEnabled(enabled);
    if (!enabled && Check1->isChecked()) {  // an edit cut short by going offline is dropped
        Check1->setChecked(false);
        lockAlarmGroup();
        showAlarmInForce();
    }
}

void Form1::setLiveValuesStale(bool stale) {
    noReply_ = stale;
    if (!stale) pollingPaused_ = false;  // just answered: live until polling pauses again
    applyStale();
}

void Form1::setPollingPaused(bool paused) {
    pollingPaused_ = paused;
    applyStale();
}

void Form1::setPlottingPaused(bool paused) {
    plottingPaused_ = paused;
    applyStale();
    refreshNoticeBar();
}

// Stale values keep their place but are drawn faded: the LCD text dimmed and slanted, the
// temperature grey, the mode picture, the gauges and the fan faded, the legend's reading
// marked; the caption and the tooltips say why.
void Form1::applyStale() {
    const bool stale = liveValuesStale();
    if (legendStale() != legendStaleShown_) {
        legendStaleShown_ = legendStale();
        trend_->setLegendStale(legendStaleShown_);
        redrawTrend();
    }
    const int why = !stale ? 0 : noReply_ ? 1 : 2;
    if (why == staleShown_) return;
    const bool wasStale = staleShown_ != 0;
    staleShown_ = why;
    TemperatureCaption->setText(!stale ? "Board Temperature"
                                : noReply_ ? "Board Temperature (no reply)"
                                           : "Board Temperature (not updated)");
    const QString tip = !stale ? QString()
                        : noReply_ ? "No reply from the KR-9300: these are the last values it sent."
                                   : "Polling is paused: these are the last values the KR-9300 sent.";
    for (QWidget* w : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(LcdFrame), static_cast<QWidget*>(Picture1),
                       static_cast<QWidget*>(Label1), static_cast<QWidget*>(LabelFan),
                       static_cast<QWidget*>(ChartViewer2), static_cast<QWidget*>(ChartViewer3)}) {
        w->setToolTip(tip);
    }
    if (stale == wasStale) return;  // only the reason changed: the look stays
    applyLcdStyle();
    Label3->setStyleSheet(stale ? "color: #9a9a9a;" : "color: #c01010;");
    Label1->setStyleSheet(stale ? "color: #9a9a9a;" : QString());
    for (QWidget* w : {static_cast<QWidget*>(Picture1), static_cast<QWidget*>(ChartViewer2),
                       static_cast<QWidget*>(ChartViewer3)}) {
        if (stale) {
            auto* faded = new QGraphicsOpacityEffect(w);
            faded->setOpacity(0.4);
            w->setGraphicsEffect(faded);  // the widget owns it and drops the previous one
        } else {
            w->setGraphicsEffect(nullptr);
        }
    }
    applyFanStyle();
}

void Form1::setFanState(int fanState) {
    fanState_ = fanState;
    LabelFan->setText(fanState == 1 ? "Fan: ON" : fanState == 0 ? "Fan: OFF" : "Fan: N/A");
    applyFanStyle();
}

void Form1::applyFanStyle() {
    const QString style = liveValuesStale() ? "QLabel { color: #9a9a9a; }"
                          : fanState_ == 1  ? "QLabel { background: #2e9e3e; color: white; }"
                                            : QString();
    if (style == fanStyle_) return;
    fanStyle_ = style;
    LabelFan->setStyleSheet(style);
}

QString Form1::noticeText(stationlink::SafetyNotice notice) {
    switch (notice) {
        case stationlink::SafetyNotice::SteppingDown: return "Safety set point reached: heaters going OFF";
        case stationlink::SafetyNotice::ProbeErrorHeaterOn:
            return "Probe error with a heater on: the safety set point cannot act";
        case stationlink::SafetyNotice::SwitchingOffToLeave: return "Switching the heaters OFF before leaving ...";
        case stationlink::SafetyNotice::None: break;
    }
    return {};
}

void Form1::setSafetyNotice(stationlink::SafetyNotice notice) {
    if (notice == notice_) return;
    if (acknowledged_ == noticeText(notice_)) acknowledged_.clear();  // its condition has ended
    notice_ = notice;
    trend_->setNotice(noticeText(notice));
    redrawTrend();
    refreshNoticeBar();
}

// --- operator controls ---

// The heater and fan buttons only ask, and only while the station is online.
void Form1::operatorRequest(int slot) {
    if (!state_.MachineOnline) return;
    state_.OperatorRequestPending = true;
    state_.RequestFlags[std::size_t(slot)] = true;
}

void Form1::cmdUhUp_Click() { operatorRequest(core::SlotUpperHeaterUp); }
void Form1::cmdUhDown_Click() { operatorRequest(core::SlotUpperHeaterDown); }
void Form1::cmdLhUp_Click() { operatorRequest(core::SlotLowerHeaterUp); }
void Form1::cmdLhDown_Click() { operatorRequest(core::SlotLowerHeaterDown); }
void Form1::CmdCancel_Click() { operatorRequest(core::SlotFan); }

void Form1::Command3_Click() { state_.RequestFlags[core::SlotClearLog] = true; }

void Form1::Command11_Click() { state_.Diagnostics.clear(); }

// --- trend and log ---

void Form1::Command12_Click() {
    if (!state_.MachineOnline) return;
    if (Command12->text() == "Start Plotting") {
        state_.Settings.AutoTCPlot = true;
        Command12->setText("Stop Plotting");
    } else {
        state_.Settings.AutoTCPlot = false;
        Command12->setText("Start Plotting");
    }
}

void Form1::Command10_Click() {
    state_.TraceResetRequested = true;
    state_.PlottedSamples = 0;
    redrawTrend();
}

// The list box follows the diagnostic list line for line while it is shown: the lines that
// went at the top go, the new ones are added at the end, the note on what went is kept
// current. After a clear, or more change than rows, it is filled again. Hidden, it holds no
// rows (a program left on for weeks keeps its lines once, in the list) and fills when shown.
void Form1::refreshList() {
    if (!List1->isVisibleTo(this)) {
        if (List1->count() > 0) List1->clear();
        listClears_ = -1;  // filled afresh when shown
        return;
    }
    const core::DiagnosticList& list = state_.Diagnostics;
    const QStringList& lines = list.lines();
    const qint64 fresh = list.added() - listAdded_;
    const qint64 gone = list.dropped() - listDropped_;
    const bool noted = listDropped_ > 0;
    const bool refill = list.clears() != listClears_ || fresh < 0 || gone < 0 || fresh > lines.size() ||
                        gone + (noted ? 1 : 0) > List1->count();
    if (refill) {
        List1->clear();
        List1->addItems(lines);
    } else {
        for (qint64 i = 0; i < gone; ++i) delete List1->takeItem(noted ? 1 : 0);
        if (list.dropped() > 0 && noted)
            List1->item(0)->setText(lines.first());
        else if (list.dropped() > 0)
            List1->insertItem(0, lines.first());
        for (qsizetype i = lines.size() - fresh; i < lines.size(); ++i) List1->addItem(lines[i]);
        if (List1->count() != lines.size()) {  // never expected: show the list as it is
            List1->clear();
            List1->addItems(lines);
        }
    }
    listAdded_ = list.added();
    listDropped_ = list.dropped();
    listClears_ = list.clears();
    if (List1->isVisible()) List1->scrollToBottom();  // laying out a long hidden list costs per line
}

void Form1::setDiagnosticLogPath(const QString& path) {
    List1->setToolTip("Every line is also kept, with its time, in " + QDir::toNativeSeparators(path));
}

void Form1::toggleDiagnostics() {
    const bool show = !List1->isVisible() && !List1->isVisibleTo(this);
    M_View_Diagnostic_Log->setChecked(show);
    for (QWidget* w : {static_cast<QWidget*>(List1), static_cast<QWidget*>(Command2),
                       static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command11)})
        w->setVisible(show);
    refreshList();
    fitToContents();
    if (show) {
        List1->doItemsLayout();  // the rows added while hidden, laid out before the scroll
        List1->scrollToBottom();
    }
}

void Form1::fitToContents() {
    centralWidget()->layout()->activate();
    layout()->activate();
    setFixedSize(sizeHint());
}

// --- menus ---

void Form1::M_Tools_Connect_Click() {
    if (poller_) poller_->M_Tools_Connect_Click();
}

void Form1::M_Help_Support_Website_Click() { openHelpPage(kWebsite); }
void Form1::M_Help_Support_Updates_Click() { openHelpPage(kUpdates); }

void Form1::openHelpPage(const QString& address) {
    if (!shell_.openUrl(address))
        dialogs_.message("Help", "The web page could not be opened here. Its address is:\n" + address);
}

void Form1::setMainWindowEnabled(bool enabled) {
    setEnabled(enabled);
    if (enabled) activateWindow();
}

void Form1::endProgram() {
    ended_ = true;
    closeForGood();
    if (onEnd_) onEnd_();
}

void Form1::closeForGood() {
    closing_ = true;
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (closing_ || !exitHandler_) {
        event->accept();
        return;
    }
    event->ignore();  // leaving runs the exit sequence, which closes the window itself
    exitHandler_();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the box for "Accept" leaves the check to "Accept", which refuses a value it
    // had to correct instead of taking the correction on the same press.
    if (watched == Text1 && event->type() == QEvent::FocusOut && QApplication::focusWidget() != Command1)
        Text1_LostFocus();
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        const Qt::KeyboardModifiers all = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier;
        if (widget && widget->window() == this && key->key() == Qt::Key_F2 &&
            (key->modifiers() & all) == all) {
            toggleDiagnostics();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace mainwin

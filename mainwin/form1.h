#pragma once
#include "link/departure.h"
#include "link/station_display.h"
#include "mainwin/heater_gauge.h"
#include "mainwin/trend_chart.h"
#include "mainwin/trend_model.h"
#include "ui/save_dialog.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QCheckBox;
class QCustomPlot;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QToolBar;

namespace core {
struct SharedState;
}
namespace platform {
class Dialogs;
class Shell;
}  // namespace platform
namespace settings {
class SettingsFile;
}
namespace stationlink {
class Poller;
}

namespace mainwin {

// The main window: the station's front panel, the operator's controls and the menus.
// Controls carry their names as members and as object names.
class Form1 : public QMainWindow, public stationlink::StationDisplay, public stationlink::ProgramControl {
    Q_OBJECT
public:
    Form1(core::SharedState& state, platform::Dialogs& dialogs, platform::Shell& shell,
          settings::SettingsFile& settingsFile, QString programFolder, QWidget* parent = nullptr);
    ~Form1() override;

    // The poller the Connect command restarts.
    void attach(stationlink::Poller& poller) { poller_ = &poller; }
    // What closing the window and File > Exit run; without one the window just closes.
    void setExitHandler(std::function<void()> handler) { exitHandler_ = std::move(handler); }
    // Closes the window without running the exit sequence again.
    void closeForGood();
    // Opens other windows from the menus; an entry without one stays disabled.
    void setMenuAction(QAction* entry, std::function<void()> action);

    void Form_Load();
    // Names the file that keeps every diagnostic line, in the list's tool tip.
    void setDiagnosticLogPath(const QString& path);

    // --- what the poller shows ---
    void setStatusPanel(int panel, const QString& text) override;
    void setCaption(const QString& text) override;
    void setLcdLine(int index, const QString& text) override;
    void setLcdBackground(stationlink::Rgb colour) override;
    void setTemperatureLabel(const QString& text) override;
    void setTemperatureLabelVisible(bool visible) override;
    void showModePicture(const QString& fileName, const QString& caption) override;
    void setUpperGauge(int code) override;
    void setLowerGauge(int code) override;
    void addTrendSample(std::int16_t celsius) override;
    void redrawTrend() override;
    void setMenuEnabled(stationlink::ToolsMenu menu, bool enabled) override;
    void showAlarmThreshold(const QString& text, int sliderMax, int sliderValue, const QString& unit) override;
    void setStationControlsEnabled(bool enabled) override;
    void setLiveValuesStale(bool stale) override;
    void setFanState(int fanState) override;
    void setSafetyNotice(stationlink::SafetyNotice notice) override;
    // A run stopped by the run guard: said in the status bar until the operator takes note.
    void showGuardStop(const QString& reason);
    // The safety notice or guard stop the status bar shows now; empty when it shows none.
    QString statusNotice() const;
    // The live values are not from the latest poll: polling stopped or held up (the defaults
    // tool, a profile transfer). Drawn stale as after an unanswered poll, with its own words.
    void setPollingPaused(bool paused);
    // The trend takes no samples (plotting stopped, or the editor open): its legend's
    // reading is the last one plotted, drawn as such.
    void setPlottingPaused(bool paused);
    // Every live value (LCD lines, temperature, mode, heaters, fan, legend) drawn stale.
    bool liveValuesStale() const { return noReply_ || pollingPaused_; }
    bool legendStale() const { return liveValuesStale() || plottingPaused_; }

    // --- what leaving does to the window ---
    void setMainWindowEnabled(bool enabled) override;
    void endProgram() override;
    bool programEnded() const { return ended_; }
    void setEndHandler(std::function<void()> handler) { onEnd_ = std::move(handler); }

    // --- handlers ---
    void cmdUhUp_Click();
    void cmdUhDown_Click();
    void cmdLhUp_Click();
    void cmdLhDown_Click();
    void CmdCancel_Click();
    void Command3_Click();   // Clear Log
    void Command11_Click();  // Clear
    void Check1_Click();
    void Command1_Click();   // Accept
    void Slider1_MouseUp();
    void Text1_LostFocus();
    void Command12_Click();  // Start / Stop Plotting
    void Command10_Click();  // Reset Graph
    void Command8_Click();   // Save Graph
    void Command2_Click();   // Save Log
    void M_Tools_Connect_Click();
    void M_Help_Support_Website_Click();
    void M_Help_Support_Updates_Click();
    void toggleDiagnostics();

    TrendChart& trendChart() { return *trend_; }
    HeaterGauge& upperGauge() { return *upperGauge_; }
    HeaterGauge& lowerGauge() { return *lowerGauge_; }
    const QString& programFolder() const { return programFolder_; }

    static constexpr const char* kWebsite = "https://www.example.com/kr9300/";
    static constexpr const char* kUpdates = "https://www.example.com/kr9300/customer-area/";

    // What the banner area says for each safety notice.
    static QString noticeText(stationlink::SafetyNotice notice);
    // The picture and log files "Save Graph" and "Save Log" write, by filter entry.
    static const QStringList& pictureExtensions();
    static constexpr const char* kLogExtension = "zlg";

    // Controls
    std::array<QLineEdit*, 4> Text_LCD{};
    QLabel* Label3 = nullptr;
    QLabel* TemperatureCaption = nullptr;
    QFrame* LcdFrame = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QCustomPlot* ChartViewer1 = nullptr;
    QCustomPlot* ChartViewer2 = nullptr;
    QCustomPlot* ChartViewer3 = nullptr;
    QPushButton* cmdUhUp = nullptr;
    QPushButton* cmdUhDown = nullptr;
    QPushButton* cmdLhUp = nullptr;
    QPushButton* cmdLhDown = nullptr;
    QPushButton* CmdCancel = nullptr;
    QLabel* LabelFan = nullptr;
    QPushButton* cmdPump = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QSlider* Slider1 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command8 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command11 = nullptr;
    std::array<QLabel*, 3> StatusBar1{};
    QToolBar* Toolbar1 = nullptr;
    // The status bar's notice of a safety event or a guard stop, with its OK button.
    QFrame* SafetyNoticeBar = nullptr;
    QLabel* SafetyNoticeText = nullptr;
    QPushButton* SafetyNoticeOk = nullptr;

    // Menu entries
    QAction* M_File_New_Profile = nullptr;
    QAction* M_File_New_EEPROM = nullptr;
    QAction* M_File_Open_Profile = nullptr;
    QAction* M_File_Open_EEPROM = nullptr;
    QAction* M_File_Exit = nullptr;
    QAction* M_Profile_Editor = nullptr;
    QAction* M_Profile_Run_Records = nullptr;
    QAction* M_Profile_Paste_Windows = nullptr;
    QAction* M_View_Diagnostic_Log = nullptr;
    QAction* M_Profile_Run_History = nullptr;
    QAction* M_Tools_Connect = nullptr;
    QAction* M_Tools_Disconnect = nullptr;
    QAction* M_Tools_Defaults = nullptr;
    QAction* M_Tools_Options = nullptr;
    QAction* M_Help_Support_Website = nullptr;
    QAction* M_Help_Support_Updates = nullptr;
    QAction* M_Help_About = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildPanel();
    void buildNoticeBar();
    // Shown while there is an event not yet taken note of and the trend's banner is not
    // in view (plotting off): the chart covers the plotting case.
    void refreshNoticeBar();
    void acknowledgeNotice();
    void lockAlarmGroup();
    // Puts the threshold in force into the box and the slider.
    void showAlarmInForce();
    // The lost-focus range check: false when it corrected the box (the text then
    // selected, the focus back in the box).
    bool alarmBoxInRange();
    void operatorRequest(int slot);
    void refreshList();
    void applyLcdStyle();
    // The window is exactly as large as its contents: nothing to maximise into; it grows
    // and shrinks only with the diagnostic list.
    void fitToContents();
    void openHelpPage(const QString& address);
    // "Save Graph" and "Save Log": the shared save-name rules, from the program's documents folder.
    void askSaveName(const ui::SaveRequest& request, std::function<void(const QString&)> save);
    QString picturePath(const QString& fileName) const;

    core::SharedState& state_;
    platform::Dialogs& dialogs_;
    platform::Shell& shell_;
    settings::SettingsFile& settingsFile_;
    QString programFolder_;
    stationlink::Poller* poller_ = nullptr;
    std::function<void()> exitHandler_;
    bool closing_ = false;
    bool ended_ = false;
    std::function<void()> onEnd_;

    TrendModel trendModel_;
    std::unique_ptr<TrendChart> trend_;
    std::unique_ptr<HeaterGauge> upperGauge_;
    std::unique_ptr<HeaterGauge> lowerGauge_;
    std::map<QAction*, std::function<void()>> menuActions_;
    stationlink::Rgb lcdColour_ = stationlink::kLcdOffline;
    void applyStale();
    void applyFanStyle();
    bool noReply_ = false;
    bool pollingPaused_ = false;
    bool plottingPaused_ = false;
    int staleShown_ = 0;  // what is drawn: 0 live, 1 no reply, 2 polling paused
    bool legendStaleShown_ = false;
    int fanState_ = stationlink::kFanUnknown;
    // The style sheets last given, so that a poll that changes nothing re-styles nothing.
    QString lcdStyle_;
    QString fanStyle_;
    stationlink::SafetyNotice notice_ = stationlink::SafetyNotice::None;
    QString guardStop_;     // the last guard stop, until taken note of
    QString acknowledged_;  // the safety notice taken note of while its condition lasts
    // What the list box shows of the diagnostic list (its counts when last followed).
    qint64 listAdded_ = 0;
    qint64 listDropped_ = 0;
    qint64 listClears_ = 0;
};

}  // namespace mainwin

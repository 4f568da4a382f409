#pragma once
#include "process/paste_window.h"
#include "profiles/chart_overlay.h"
#include "profiles/profile_chart.h"
#include "profiles/profile_record.h"
#include "profiles/run_facts.h"
#include "profiles/run_record.h"
#include "profiles/run_sequencer.h"
#include "profiles/transfer_watch.h"
#include "ui/run_alert.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QCustomPlot;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QToolButton;
class QVBoxLayout;

namespace core {
struct SharedState;
}
namespace settings {
class OwnSettings;
}
namespace platform {
class Clock;
class Dialogs;
class Timer;
}  // namespace platform

namespace profiles {

class OverlayPanel;

// Where the editor finds and keeps files.
struct EditorFolders {
    QString program;   // the program folder: pictures, the dialogs' first folder
    QString userData;  // the per-user data folder, for run records when the program folder is read-only
};

// "KR-9300 Profile Editor": the operator composes a profile, sees its curve, keeps it in a
// file, moves it to and from the station's slots and runs it. The main window stays
// disabled while it is open. Controls carry their names as members and object names.
class Profile_Editor_Form : public QWidget, public RunEditor {
    Q_OBJECT
public:
    Profile_Editor_Form(core::SharedState& state, platform::Clock& clock, platform::Dialogs& dialogs,
                        EditorFolders folders, std::function<void(bool)> enableMainWindow,
                        QWidget* parent = nullptr);
    ~Profile_Editor_Form() override;

    // The program's own settings: the user's paste windows and the paste last chosen for
    // each profile name. Without them the Paste list holds the built-in windows and "None"
    // and remembers nothing. Given before Form_Load.
    void setOwnSettings(settings::OwnSettings* own) { own_ = own; }

    void Form_Load();
    void showAtTopLeft();

    // --- commands ---
    void Command1_Click();  // Exit Profiles
    void Command2_Click();  // New
    void Command3_Click();  // Open (file)
    void Command4_Click();  // Save (file)
    void Command5_Click();  // Run / Stop
    void Command6_Click();  // Retrieve
    void Command7_Click();  // Save (station)
    void Command8_Click();  // Save Graph
    void Command9_Click();  // FAN ON/OFF
    void Option4_Click();   // Leaded
    void Option5_Click();   // Lead-Free
    void Cooling_Graph_Timer_Timer();
    void ProfileRW_Timer_Timer();
    void cboPaste_Activated();         // the operator chose a paste
    void cmdPasteWindows_Click();      // Paste Windows

    // --- the paste ---
    // The Paste list anew from the built-in and the user's windows, the choice kept while
    // it is still there.
    void fillPasteList();
    // The paste last chosen for the profile's name, else the alloy's own.
    void choosePasteForProfile();
    QString pasteName() const;

    // --- offered to the transfer and the run ---
    void LockEditor();
    void UnlockEditor();
    bool locked() const { return locked_; }
    void ShowRunAlert(const QString& title, const QString& message, int beepIntervalMs, bool hideOk);

    // Status bar panels 1 (the designed texts) and 2 (busy notes, run progress, run summary).
    void setPanel(int panel, const QString& text);
    QString panel(int panel) const;

    // Told every step of the run, after the run record (for watching the run from outside).
    void setRunObserver(std::function<void(const QString&)> observer) { runObserver_ = std::move(observer); }

    // Told the reason when the run guard stops a run (for the main window's notice).
    void setGuardStopHandler(std::function<void(const QString&)> handler) { onGuardStop_ = std::move(handler); }
    // Told when a run's record starts (at the confirmation) and when the run ends, with the
    // profile, the board, the operator and the record's files.
    void setRunFileHandlers(std::function<void(const RunFacts&)> started, std::function<void(const RunFacts&)> ended) {
        onRunStarted_ = std::move(started);
        onRunEnded_ = std::move(ended);
    }
    // The operator's name to start with, and where a changed name is remembered.
    void setOperatorMemory(const QString& name, std::function<void(const QString&)> remember);
    QString board() const;
    QString operatorName() const;
    // Earlier runs on the chart behind the live trace, with the comparison beside it; an
    // empty list clears them. At most kMostOverlays are drawn.
    void setOverlay(std::vector<OverlayTrace> runs);
    void refreshOverlayTable();

    // Told when the window has closed for good, after the main window was enabled again.
    void setClosedHandler(std::function<void()> handler) { onClosed_ = std::move(handler); }

    // --- what the run reads and does ---
    Point point(int index) const override;
    void setStatus(const QString& text) override { setPanel(1, text); }
    void lockEditor() override { LockEditor(); }
    void unlockEditor() override { UnlockEditor(); }
    void setEditorEnabled(bool enabled) override { setEnabled(enabled); }
    void setRunCaption(const QString& caption) override;
    QString runCaption() const override;
    void appendSample() override;
    void setCoolingTrace(bool on) override;
    void restartTrace() override;
    void askYesNo(const QString& text, std::function<void(bool yes)> answered) override;

    // Panel 3: the board temperature, both heaters and the fan from the latest poll, drawn
    // grey with "(no reply)" once the poll is older than a poll.
    void showLiveValues();
    void followLink();
    // "NORTH BRIDGE:  X1 60 C,  X2 140 C,  X3 180 C": what saved pictures carry.
    QString profileCaption() const;
    QString liveText() const;

    platform::Timer& Cooling_Graph_Timer() { return *coolingTimer_; }
    platform::Timer& ProfileRW_Timer() { return *rwTimer_; }
    platform::Timer& MyDelayTimer() { return run_->MyDelayTimer(); }
    RunSequencer& sequencer() { return *run_; }
    RunRecord& record() { return *record_; }
    TransferWatch& transfer() { return *transfer_; }

    // Stops the cooling trace (and its record) and ends a finished run's hold on the alarm
    // rules: what every command of the window does first.
    void stopCooling();
    // The working copies from the three boxes, then the curve and the chart anew.
    void refreshCurveFromBoxes();
    // The three temperatures checked together; on success the working copies, the curve and
    // the chart anew. A failure is shown and changes nothing.
    void CheckSetPoints();

    // --- unsaved changes ---
    // The boxes differ from what was last opened, saved, retrieved or reset (the alloy aside).
    bool hasUnsavedChanges() const;
    // What the boxes hold now is what is kept: after an open, a save, a retrieve, New.
    void markSaved();
    // Runs `proceed` at once without unsaved changes; otherwise asks "Save the changes to
    // <name>?": Save writes the file first and goes on only once it is written, Don't Save
    // goes on, Cancel stops.
    void settleChanges(std::function<void()> proceed);
    QString saveChangesQuestion() const;
    // Exit Profiles once the changes are settled: the main window back, the window closed.
    void closeNow();

    // The profile the controls hold, and the controls set from a profile.
    ProfileRecord recordFromControls() const;
    void showRecord(const ProfileRecord& record);
    DisplayUnit displayUnit() const;
    ProfileChart& chart() { return *chart_; }
    ui::RunAlert& alert() { return *alert_; }

    static constexpr const char* kBusyClosing = "Busy: wait for the transfer or stop the run before closing";
    static constexpr const char* kOfflineNote = "KR-9300 offline: Retrieve, Save, Run and FAN need the station";

    // Controls: per point X1..X3 the temperature, message, L.H., U.H., fan and position.
    QCustomPlot* ChartViewer1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame6 = nullptr;
    QLineEdit* Text1 = nullptr;  // X1 temperature
    QLineEdit* Text2 = nullptr;  // X1 message
    QLineEdit* Text3 = nullptr;  // X2 temperature
    QLineEdit* Text4 = nullptr;  // X2 message
    QLineEdit* Text5 = nullptr;  // X3 temperature
    QLineEdit* Text6 = nullptr;  // X3 message
    QLineEdit* Text7 = nullptr;  // profile name
    QLineEdit* Text8 = nullptr;  // file name
    QComboBox* Combo1 = nullptr;  // X1 L.H.
    QComboBox* Combo2 = nullptr;  // X1 U.H.
    QComboBox* Combo3 = nullptr;  // X2 L.H.
    QComboBox* Combo4 = nullptr;  // X2 U.H.
    QComboBox* Combo5 = nullptr;  // X3 L.H.
    QComboBox* Combo6 = nullptr;  // X3 U.H.
    QComboBox* Combo7 = nullptr;  // X1 normal / park
    QComboBox* Combo8 = nullptr;  // X2 normal / park
    QComboBox* Combo9 = nullptr;  // X3 normal / park
    QCheckBox* Check1 = nullptr;  // X1 fan
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    std::array<QLabel*, 3> Label2{};  // the unit labels of X1..X3
    QRadioButton* Option1 = nullptr;  // Profile 1
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;  // Leaded
    QRadioButton* Option5 = nullptr;  // Lead-Free
    QPushButton* Command1 = nullptr;  // Exit Profiles
    QPushButton* Command2 = nullptr;  // New
    QPushButton* Command3 = nullptr;  // Open
    QPushButton* Command4 = nullptr;  // Save (file)
    QPushButton* Command5 = nullptr;  // Run / Stop
    QPushButton* Command6 = nullptr;  // Retrieve
    QPushButton* Command7 = nullptr;  // Save (station)
    QPushButton* Command8 = nullptr;  // Save Graph
    QPushButton* Command9 = nullptr;  // FAN ON/OFF
    QComboBox* cboPaste = nullptr;    // the paste the run is judged against
    QToolButton* cmdPasteWindows = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLineEdit* boardBox = nullptr;     // "Board"
    QLineEdit* operatorBox = nullptr;  // "Operator"
    OverlayPanel* overlayPanel = nullptr;

    // The 33 controls LockEditor and UnlockEditor switch together.
    QList<QWidget*> lockableControls() const;
    bool PlotWasOn() const { return plotWasOn_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void fillLists();
    void resetRecord();
    void newProfile();
    void openProfile();
    bool saveToFile(bool sayWhenSaved);
    void leave();
    void runEvent(const QString& text);
    void beginRecord();
    void endRecord(RunOutcome outcome, const QString& reason = QString());
    void checkCurveAgainstPaste();
    std::optional<process::PasteWindow> pasteWindow() const;
    void followAlloy();
    void judgeRun();
    bool cooledThrough() const;
    QString coolingNote() const;
    // Field checks: a box left, a message box changed; a failure is shown with the focus back.
    void bindFieldChecks();
    void boxLeft(QWidget* box);
    bool isTemperatureBox(const QWidget* w) const;
    void messageChanged(int point);
    void showVerdict(const Verdict& verdict);
    QWidget* boxWidget(ProfileBox box) const;
    void redrawCurve();
public:
    // The controls of point 0..2 (X1..X3).
    QLineEdit* temperatureBox(int point) const;
    QLineEdit* messageBox(int point) const;
    QComboBox* lowerList(int point) const;
    QComboBox* upperList(int point) const;
    QComboBox* modeList(int point) const;
    QCheckBox* fanBox(int point) const;

private:

    core::SharedState& state_;
    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    EditorFolders folders_;
    std::function<void(bool)> enableMainWindow_;
    std::function<void()> onClosed_;
    std::function<void(const QString&)> runObserver_;
    std::function<void(const QString&)> onGuardStop_;
    std::function<void(const RunFacts&)> onRunStarted_, onRunEnded_;
    std::function<void(const QString&)> rememberOperator_;
    RunFacts runFacts_;
    void buildHistoryControls(QVBoxLayout* root, QHBoxLayout* chartRow);
    std::unique_ptr<platform::Timer> coolingTimer_;
    std::unique_ptr<platform::Timer> rwTimer_;
    std::unique_ptr<platform::Timer> liveTimer_;  // panel 3, twice a poll
    bool titleBarPlaced_ = false;
    void keepTitleBarOnScreen();
    std::unique_ptr<ui::RunAlert> alert_;
    std::unique_ptr<RunSequencer> run_;
    std::unique_ptr<RunRecord> record_;
    std::unique_ptr<TransferWatch> transfer_;
    std::unique_ptr<ProfileChart> chart_;
    std::array<QLabel*, 3> panels_{};
    std::int64_t traceStartMs_ = 0;  // second 0 of the live trace
    bool linkShownUp_ = true;        // what panel 2 last said of the link
    ProfileRecord saved_;  // the profile as last opened, saved, retrieved or reset
    bool plotWasOn_ = false;
    bool locked_ = false;
    bool closing_ = false;
    bool showingVerdict_ = false;  // a failure is being shown: the focus moves it makes check nothing
    settings::OwnSettings* own_ = nullptr;
    QList<process::PasteWindow> userWindows_;
    // The run's judgement: the paste chosen when it began, how it ended, and whether the
    // verdict still waits for the board to cool through the liquidus.
    std::optional<process::PasteWindow> runPaste_;
    RunOutcome runOutcome_ = RunOutcome::Finished;
    bool judgementDue_ = false;
    bool runJudged_ = true;
};

}  // namespace profiles

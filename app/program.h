#pragma once
#include "app/after_first_paint.h"
#include "app/exit_question.h"
#include "app/run_history_link.h"
#include "core/shared_state.h"
#include "link/departure.h"
#include "link/link.h"
#include "link/poller.h"
#include "link/profile_transfer.h"
#include "mainwin/exit_warning_form.h"
#include "mainwin/form1.h"
#include "defaults/form_defaults.h"
#include "platform/clock.h"
#include "profiles/profile_editor_form.h"
#include "settings/own_settings.h"
#include "settings/settings_file.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

namespace platform {
class Bridge;
class Clock;
class Dialogs;
class Shell;
}  // namespace platform

namespace app {

// The program put together: the settings file, the link, the main window, the poller,
// leaving, and the windows the menus open. The app builds one over the real bridge,
// tests build one over the simulated station.
class Program {
public:
    Program(core::SharedState& state, platform::Bridge& bridge, platform::Clock& clock, platform::Dialogs& dialogs,
            platform::Shell& shell, const QString& programFolder, const QString& userFolder);

    ~Program();

    // The own settings and Form_Load, then the window is shown.
    void start();

    core::SharedState& state;
    platform::Clock& clock;
    settings::SettingsFile file;
    // The program's own per-user settings (the run guard's limits), read by start().
    settings::OwnSettings own;
    stationlink::Link link;
    mainwin::Form1 form;
    stationlink::Poller poller;
    stationlink::StationProfiles profiles;  // the poller's actions for request slots 5 and 8
    mainwin::frmExit_Warning warning;
    // The main window as the leaving sequences see it: not enabled again while a tool holds it.
    class MainWindowGate final : public stationlink::ProgramControl {
    public:
        explicit MainWindowGate(Program& program) : program_(program) {}
        void setMainWindowEnabled(bool enabled) override;
        void endProgram() override;

    private:
        Program& program_;
    };
    MainWindowGate gate{*this};
    stationlink::Departure departure;
    // The editor's message boxes and file dialogs, over the editor.
    std::unique_ptr<platform::Dialogs> editorDialogs;
    // The defaults tool's questions and notes, over the tool.
    std::unique_ptr<platform::Dialogs> defaultsDialogs;
    // Questions about leaving, over the window on top (the editor or the defaults tool when open).
    std::unique_ptr<platform::Dialogs> leavingDialogs;
    // File > Exit and the close box: asks first while a run goes or a heater is on.
    ExitQuestion exitQuestion;
    // Where run records go when the program folder cannot be written.
    QString userDataFolder;

    void openOptions();
    void openAbout();
    // The profile editor, opened without blocking; the flags run New or Open on its first paint.
    void openEditor(bool newProfile, bool openProfile);
    profiles::Profile_Editor_Form* editor() const { return editor_; }
    void openRunRecords();
    // Profile > Paste Windows, over the main window.
    void openPasteWindows();
    // Profile > Run History, and what it hands to the editor.
    void openRunHistory();
    RunHistoryLink& runHistory() { return *runHistory_; }
    // The defaults tool, once no poller tick is running.
    void openDefaults();
    defaults::Form_Defaults* defaultsTool() const { return defaults_; }
    // Leaving the program: after the exit question, or at a termination signal. While a
    // disconnect runs, the exit waits until it has finished; a run is stopped; a profile
    // transfer or a defaults upload under way is let finish first, its result shown in its
    // window, and the exit window says what it waits for.
    void requestExit();
    // File > Exit and the close box. While the editor or the defaults tool is open and idle,
    // asks to close it first; while it is busy, leaving follows requestExit's rule.
    void exitAsked();
    // What the end of the program runs after its windows are gone (the app quits its loop).
    void setEndHandler(std::function<void()> handler) { onEnd_ = std::move(handler); }
    // A tool window (the editor, the defaults tool) is open.
    bool toolOpen() const;
    // The exit is waiting for work under way, or the exit or its switch-off runs.
    bool leaving() const;
    // What the exit waits for now, in the exit window's words; empty when nothing holds it.
    QString holdUp();

    static constexpr const char* kCloseEditorFirst = "The Profile Editor is open. Close it and leave the program?";
    static constexpr const char* kCloseDefaultsFirst =
        "The Defaults Uploading Tool is open. Close it and leave the program?";
    // What start-up leaves until the main window has first been painted is done at the latest
    // this long after the start.
    static constexpr int kDeferredAtLatestMs = 2000;
    // How often the heap's unused pages go back to the system.
    static constexpr int kReturnFreeHeapEveryMs = 60 * 60 * 1000;
    // The live values count as stale once the last answered poll is older than this.
    static constexpr int kStaleAfterMs = 1500;

private:
    platform::Dialogs& dialogs_;
    platform::Shell& shell_;
    QString programFolder_;
    QPointer<profiles::Profile_Editor_Form> editor_;
    QPointer<defaults::Form_Defaults> defaults_;
    std::unique_ptr<RunHistoryLink> runHistory_;
    platform::Bridge& bridge_;
    std::unique_ptr<platform::Timer> exitRetry_;  // retries a held-up exit every 200 ms
    std::unique_ptr<platform::Timer> liveWatch_;  // draws the live values stale when they are
    std::unique_ptr<AfterFirstPaint> afterFirstPaint_;
    std::unique_ptr<platform::Timer> heapTrim_;   // hands unused heap pages back, hourly
    bool waitingToLeave_ = false;                 // the exit waits for work under way
    std::function<void()> onEnd_;
    void manualDisconnect();
    void returnHeapWhenGone(QWidget& window);
    void showLiveness();
    void end();
    bool editorBusy() const;
    std::vector<QPointer<QWidget>> retired_;      // closed windows not deleted yet
    template <class Window>
    void retire(QPointer<Window>& window);
};

}  // namespace app

#include "app/program.h"

#include "history/run_history_window.h"
#include "history/shop_probe.h"
#include "link/profile_payload.h"
#include "mainwin/options_form.h"
#include "mainwin/shop_database_box.h"
#include "platform/heap_trim.h"
#include "platform/program_folder.h"
#include "profiles/paste_windows_form.h"
#include "profiles/run_record.h"
#include "ui/about_form.h"

#include <QDir>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUrl>

namespace app {

Program::Program(core::SharedState& s, platform::Bridge& bridge, platform::Clock& c, platform::Dialogs& dialogs,
                 platform::Shell& shell, const QString& programFolder, const QString& userFolder)
    : state(s),
      clock(c),
      file(s, programFolder, userFolder),
      own(s, userFolder),
      link(s, bridge, c),
      form(s, dialogs, shell, file, programFolder),
      poller(s, link, shell, form, file),
      profiles(link, form),
      warning(c),  // its own window: the main window is disabled while it shows
      departure(s, link, poller, form, warning, gate),
      editorDialogs(dialogs.ownedBy([this]() -> QWidget* { return editor_.data(); })),
      defaultsDialogs(dialogs.ownedBy([this]() -> QWidget* { return defaults_.data(); })),
      leavingDialogs(dialogs.ownedBy([this]() -> QWidget* {
          if (defaults_ && defaults_->isVisible()) return defaults_.data();
          return editor_.data();
      })),
      exitQuestion(s, c, *leavingDialogs,
                   ExitHooks{[this] { requestExit(); },
                             [this] { return editor_ && editor_->sequencer().running(); },
                             [this] {
                                 if (editor_ && editor_->sequencer().running()) editor_->sequencer().Command5_Click();
                             },
                             [this] { return profiles.writeMsLeft(); }},
                   gate, warning),
      userDataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
      dialogs_(dialogs),
      shell_(shell),
      programFolder_(programFolder),
      bridge_(bridge) {
    form.attach(poller);
    // A transfer holds the link from its first byte: the live values say so at once.
    poller.setAction(core::SlotProfileRead, [this] {
        showLiveness();
        profiles.ReadStationProfile();
    });
    poller.setAction(core::SlotProfileWrite, [this] {
        showLiveness();
        profiles.WriteStationProfile();
    });
    warning.setManualDisconnect([this] { manualDisconnect(); });
    form.setExitHandler([this] { exitAsked(); });
    form.setEndHandler([this] { end(); });
    exitRetry_ = clock.createTimer(200, [this] {
        exitRetry_->setEnabled(false);
        requestExit();
    });
    // Once a second, in the same wake-up as the poll; a transfer shows itself at once.
    liveWatch_ = clock.createTimer(1000, [this] { showLiveness(); });
    liveWatch_->setLoose();
    liveWatch_->setEnabled(true);
    platform::keepLargeBlocksApart();
    heapTrim_ = clock.createTimer(kReturnFreeHeapEveryMs, [] { platform::returnFreeHeap(); });
    heapTrim_->setLoose();
    heapTrim_->setEnabled(true);
    form.setMenuAction(form.M_Tools_Disconnect, [this] { departure.M_Tools_Disconnect_Click(); });
    form.setMenuAction(form.M_Tools_Options, [this] { openOptions(); });
    form.setMenuAction(form.M_Help_About, [this] { openAbout(); });
    form.setMenuAction(form.M_File_New_Profile, [this] { openEditor(true, false); });
    form.setMenuAction(form.M_File_Open_Profile, [this] { openEditor(false, true); });
    form.setMenuAction(form.M_Profile_Editor, [this] { openEditor(false, false); });
    form.setMenuAction(form.M_Profile_Run_Records, [this] { openRunRecords(); });
    form.setMenuAction(form.M_Profile_Paste_Windows, [this] { openPasteWindows(); });
    form.setMenuAction(form.M_Tools_Defaults, [this] { openDefaults(); });
    runHistory_ = std::make_unique<RunHistoryLink>(state, own, dialogs_, clock);
    runHistory_->setEditorOpener([this]() -> profiles::Profile_Editor_Form* {
        if (clock.ending() || leaving()) return nullptr;
        if (!editor_ || !editor_->isVisible()) openEditor(false, false);
        return editor_.data();
    });
    form.setMenuAction(form.M_Profile_Run_History, [this] { openRunHistory(); });
}

Program::~Program() {
    delete editor_;
    delete defaults_;
    for (const QPointer<QWidget>& w : retired_) delete w.data();
}

// A window that has closed is gone for the menus even before the event loop has deleted
// it (a window closed inside a pumped wait is deleted only once control is back in the
// main loop): a new one opens, and the old one is deleted by then or at the end.
template <class Window>
void Program::retire(QPointer<Window>& window) {
    std::erase_if(retired_, [](const QPointer<QWidget>& w) { return w.isNull(); });  // deleted by now
    if (window) retired_.push_back(window.data());
    window = nullptr;
}

void Program::start() {
    own.load();  // the run guard's limits are in force before a run can start
    // The runs database, with the records of runs it lacks (one the program was ended under),
    // opens once the window is up, or at its first use before then.
    runHistory_->start(userDataFolder,
                       {profiles::RunRecord::runsFolder(programFolder_, userDataFolder),
                        QDir(userDataFolder).filePath(profiles::RunRecord::kFolder)},
                       platform::documentsFolder(programFolder_));
    afterFirstPaint_ =
        std::make_unique<AfterFirstPaint>(form, clock, kDeferredAtLatestMs, [this] { runHistory_->open(); });
    form.Form_Load();
    form.show();
}

// --- the main window while tools and leaving hold it ---

// A tool window's charts and pictures are the most the program holds: once it is deleted,
// the pages they took go back to the system.
void Program::returnHeapWhenGone(QWidget& window) {
    platform::Clock* c = &clock;
    QObject::connect(&window, &QObject::destroyed, &form, [c] { c->schedule(0, [] { platform::returnFreeHeap(); }); });
}

void Program::MainWindowGate::setMainWindowEnabled(bool enabled) {
    if (enabled && program_.toolOpen()) return;  // the tool gives it back when it closes
    program_.form.setMainWindowEnabled(enabled);
}

void Program::MainWindowGate::endProgram() { program_.form.endProgram(); }

bool Program::toolOpen() const {
    return (editor_ && editor_->isVisible()) || (defaults_ && defaults_->isVisible());
}

bool Program::leaving() const {
    return waitingToLeave_ || exitQuestion.switchingOff() || state.ExitStage == core::ExitWritingSettings ||
           state.ExitStage == core::ExitSigningOff;
}

// A transfer or a run holds the editor locked until it is over.
bool Program::editorBusy() const { return editor_ && editor_->isVisible() && editor_->locked(); }

// The end of the program: every window of it goes, whatever it was waiting for (a window
// that would refuse to close while busy is not asked), then the loop is told to quit.
void Program::end() {
    exitRetry_->setEnabled(false);
    liveWatch_->setEnabled(false);
    heapTrim_->setEnabled(false);
    warning.unloadWarning();
    if (editor_) editor_->hide();
    if (defaults_) defaults_->hide();
    if (runHistory_->window()) runHistory_->window()->close();
    if (onEnd_) onEnd_();
}

// --- leaving ---

void Program::exitAsked() {
    if (clock.ending() || exitQuestion.asking()) return;
    const bool defaultsOpen = defaults_ && defaults_->isVisible();
    const bool defaultsIdle = defaultsOpen && !defaults_->uploader().busy();
    const bool editorIdle = editor_ && editor_->isVisible() && !editorBusy();
    if (!leaving() && !defaultsOpen && editorIdle && editor_->hasUnsavedChanges()) {
        // The save question says all: its Cancel stays in the program.
        editor_->settleChanges([this] {
            if (editor_ && editor_->isVisible() && !editorBusy()) editor_->closeNow();
            exitQuestion.requestExit();
        });
        return;
    }
    if (!leaving() && (defaultsIdle || (!defaultsOpen && editorIdle))) {
        const bool editor = !defaultsOpen;
        leavingDialogs->askYesNo(ExitQuestion::kTitle, editor ? kCloseEditorFirst : kCloseDefaultsFirst,
                                 [this, editor](bool yes) {
                                     if (!yes) return;
                                     if (editor && editor_ && editor_->isVisible() && !editorBusy())
                                         editor_->closeNow();
                                     if (!editor && defaults_ && defaults_->isVisible() &&
                                         !defaults_->uploader().busy())
                                         defaults_->Command6_Click();
                                     exitQuestion.requestExit();
                                 });
        return;
    }
    exitQuestion.requestExit();
}

QString Program::holdUp() {
    if (defaults_ && defaults_->isVisible() && defaults_->uploader().busy())
        return "Waiting for the defaults upload to finish ...";
    if (!editor_ || !editor_->isVisible()) return {};
    if (editor_->sequencer().running()) editor_->sequencer().Command5_Click();  // leaving stops the run
    if (!editor_->locked()) return {};  // the state number stays after a transfer has ended
    switch (state.EditorState) {
        case core::EditorSavePending:
            if (const auto left = profiles.writeMsLeft())
                return QString("Waiting for the profile save to finish (%1 s left) ...").arg((*left + 999) / 1000);
            return "Waiting for the profile save to begin ...";
        case core::EditorVerifyPending: return "Waiting for the saved profile to be read back ...";
        case core::EditorRetrievePending: return "Waiting for the profile retrieve to finish ...";
        default: return {};
    }
}

void Program::requestExit() {
    if (clock.ending()) return;
    if (state.ExitStage == core::DisconnectRunning) {
        exitRetry_->setEnabled(true);
        return;
    }
    if (state.ExitStage == core::ExitIdle) {
        if (const QString wait = holdUp(); !wait.isEmpty()) {
            waitingToLeave_ = true;
            gate.setMainWindowEnabled(false);
            warning.showWarning();
            warning.setWarningText(wait);
            exitRetry_->setEnabled(true);
            return;
        }
        waitingToLeave_ = false;
        // The defaults tool holds the poller, which the exit needs to hand the settings
        // back: once its upload is over, the tool closes and gives the poller back.
        if (defaults_ && defaults_->isVisible()) defaults_->close();
    }
    departure.M_File_Exit_Click();
}

// "Manual Disconnect": during a disconnect the designed button; otherwise the program ends
// at once, whatever leaving was waiting for, and nothing more is sent.
void Program::manualDisconnect() {
    if (state.ExitStage == core::DisconnectRunning && state.ManualDisconnectMode) {
        departure.Command1_Click();
        return;
    }
    departure.EndAtOnce(false);
}

// --- live values ---

// Drawn stale when they are not from the latest poll: the poller stopped (the defaults
// tool, a disconnect), held by a long exchange (a profile transfer), or its polls unanswered.
void Program::showLiveness() {
    const bool online = state.MachineOnline;
    const bool stopped = !poller.USB_Service_Timer().enabled() && !state.PollerBusy;
    const bool old = state.LastStatusMs < 0 || clock.nowMs() - state.LastStatusMs > kStaleAfterMs;
    const bool transfer = state.ServingSlot == core::SlotProfileRead || state.ServingSlot == core::SlotProfileWrite;
    form.setPollingPaused(online && (stopped || old || transfer));
    form.setPlottingPaused(online && !state.Settings.AutoTCPlot);
}

// --- the windows the menus open ---

void Program::openOptions() {
    auto* dialog = new mainwin::OptionsForm(state, file, own, dialogs_, form, &form);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString station = own.stationName() == QSysInfo::machineHostName() ? QString() : own.stationName();
    auto* shop = new mainwin::ShopDatabaseBox(own.shopDatabase(), station, history::probeShop);
    dialog->addGroup(shop, [this, shop] {
        const QString address = own.shopDatabase(), station = own.stationName();
        own.setShopDatabase(shop->address());
        own.setStationName(shop->station());
        if (own.shopDatabase() != address) runHistory_->changeShopDatabase(own.shopDatabase());
        else if (own.stationName() != station) runHistory_->changeShopDatabase(runHistory_->shopDatabaseInUse());
    });
    dialog->show();
}

void Program::openAbout() {
    auto* about = new ui::frmAbout(state, form.programFolder(), &form);
    about->show();
}

void Program::openEditor(bool newProfile, bool openProfile) {
    if (editor_ && editor_->isVisible()) {  // one editor at a time
        editor_->raise();
        return;
    }
    retire(editor_);
    state.NewProfileOnShow = newProfile;
    state.OpenProfileOnShow = openProfile;
    editor_ = new profiles::Profile_Editor_Form(state, clock, *editorDialogs, {programFolder_, userDataFolder},
                                                [this](bool on) {
                                                    if (on && leaving()) return;  // leaving keeps it
                                                    form.setMainWindowEnabled(on);
                                                });
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    returnHeapWhenGone(*editor_);
    editor_->setOwnSettings(&own);
    editor_->setGuardStopHandler([this](const QString& reason) { form.showGuardStop(reason); });
    editor_->transfer().setWriteProgress([this]() -> std::optional<profiles::TransferWatch::WriteProgress> {
        const auto left = profiles.writeMsLeft();
        if (!left) return std::nullopt;
        return profiles::TransferWatch::WriteProgress{profiles.payloadBytesSent(), stationlink::kProfilePayloadSize,
                                                      *left};
    });
    runHistory_->attach(*editor_);
    editor_->Form_Load();
    editor_->showAtTopLeft();
}

void Program::openRunRecords() {
    const QString folder = profiles::RunRecord::runsFolder(programFolder_, userDataFolder);
    QDir().mkpath(folder);
    if (shell_.openUrl(QUrl::fromLocalFile(folder).toString())) return;
    // No file manager took it: the path, to paste into one.
    shell_.copyText(QDir::toNativeSeparators(folder));
    dialogs_.message("Run Records", "The run records folder could not be opened here. Its path is:\n" +
                                        QDir::toNativeSeparators(folder) + "\n\nThe path has been copied to the clipboard.");
}

void Program::openPasteWindows() {
    auto* windows = new profiles::PasteWindowsForm(own, dialogs_, &form);
    windows->setAttribute(Qt::WA_DeleteOnClose);
    windows->show();
}

void Program::openRunHistory() { runHistory_->openWindow(); }

void Program::openDefaults() {
    if (defaults_ && defaults_->isVisible()) return;
    retire(defaults_);
    // Chosen while a poller tick waits for a reply: the tool starts once that tick is over,
    // so it never talks to the station in the middle of another exchange.
    if (state.PollerBusy || state.TransactionActive) {
        clock.schedule(50, [this] { openDefaults(); });
        return;
    }
    defaults::DefaultsHost host;
    host.stopPoller = [this] { poller.USB_Service_Timer().setEnabled(false); };
    host.resumePoller = [this] {
        poller.USB_Service_Timer().setEnabled(true);
        if (!leaving()) form.setMainWindowEnabled(true);
    };
    // Modal to the main window only: the demo's simulated station stays in reach.
    defaults_ = new defaults::Form_Defaults(state, bridge_, clock, *defaultsDialogs, host, &form);
    defaults_->setAttribute(Qt::WA_DeleteOnClose);
    returnHeapWhenGone(*defaults_);
    defaults_->show();
    defaults_->Form_Load();
}

}  // namespace app

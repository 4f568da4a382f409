#include "app/run_history_link.h"

#include "core/shared_state.h"
#include "history/run_history_window.h"
#include "history/run_import.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "process/paste_window.h"
#include "profiles/profile_curve.h"
#include "profiles/profile_editor_form.h"
#include "settings/own_settings.h"

#include <QCoreApplication>
#include <QDir>

#include <cmath>

namespace app {

namespace {

QList<process::PasteWindow> pasteWindows(settings::OwnSettings& own) {
    return process::allWindows(process::loadUserWindows(own));
}

}  // namespace

RunHistoryLink::RunHistoryLink(core::SharedState& state, settings::OwnSettings& own, platform::Dialogs& dialogs,
                               platform::Clock& clock)
    : state_(state), own_(own), dialogs_(dialogs) {
    // While the window is open the shop's new runs come in, and an absent server is tried again.
    shopReading_ = clock.createTimer(kShopReadingMs, [this] {
        if (mirror_ && window_ && window_->isVisible()) mirror_->refresh();
    });
    shopReading_->setLoose();
}

RunHistoryLink::~RunHistoryLink() { delete window_.data(); }  // its model's queries go before the database

history::RunHistoryWindow* RunHistoryLink::window() const { return window_.data(); }

void RunHistoryLink::sayOnce(const QString& line) { state_.Diagnostics.add(line); }

void RunHistoryLink::start(const QString& userDataFolder, const QStringList& recordFolders, const QString& saveFolder) {
    saveFolder_ = saveFolder;
    userDataFolder_ = userDataFolder;
    recordFolders_ = recordFolders;
    started_ = true;
}

void RunHistoryLink::open() {
    if (!started_ || opened_) return;
    opened_ = true;
    if (!db_.open(QDir(userDataFolder_).filePath(history::RunDatabase::kFileName))) {
        sayOnce(db_.problem());
        return;
    }
    if (!db_.problem().isEmpty()) sayOnce(db_.problem());
    const history::ImportResult imported = history::importRecords(db_, recordFolders_, pasteWindows(own_));
    if (!imported.failures.isEmpty())
        sayOnce(QString("%1 run record(s) could not be brought into the run history, the first: %2")
                    .arg(imported.failures.size())
                    .arg(imported.failures.first()));
    startShop();
}

// Store and forward to the shop's database when one is named; what waits is said in the
// history window.
void RunHistoryLink::startShop() {
    const QString text = shopDatabaseInUse();
    if (text.isEmpty()) return;
    QString why;
    const std::optional<history::ShopAddress> address = history::parseShopAddress(text, &why);
    if (!address) return sayOnce("Shop database: " + why + ". Runs are kept on this PC only.");
    shop_ = std::make_unique<history::ShopForwarding>(db_, *address, own_.stationName(),
                                                      [this](const QString& line) { sayOnce(line); });
    QObject::connect(shop_.get(), &history::ShopForwarding::waitingChanged, [this] {
        if (window_) window_->setNotice(shop_->waitingText());
    });
    QObject::connect(shop_.get(), &history::ShopForwarding::delivered, [this] {
        if (mirror_ && window_ && window_->isVisible()) mirror_->refresh();
    });
    shop_->start();
    mirror_ = std::make_unique<history::ShopMirror>(*address, QDir(userDataFolder_).filePath(history::ShopMirror::kFileName));
    if (window_) showShopIn(*window_);
}

QString RunHistoryLink::shopDatabaseInUse() const {
    return shopAddress_.isEmpty() ? own_.shopDatabase() : shopAddress_;
}

void RunHistoryLink::changeShopDatabase(const QString& address) {
    shopAddress_ = address;
    if (window_) {
        window_->setShop(nullptr);
        window_->setNotice({});
    }
    mirror_.reset();
    shop_.reset();
    if (db_.isOpen()) startShop();
}

// The shop's runs in the window once a reading has reached the server; read now and then
// every half minute while it is open.
void RunHistoryLink::showShopIn(history::RunHistoryWindow& window) {
    if (!mirror_->open()) {
        sayOnce("The shop's runs cannot be shown: " + mirror_->database().problem());
        mirror_.reset();
        return;
    }
    window.setShop(mirror_.get());
    mirror_->refresh();
    shopReading_->setEnabled(true);
}

void RunHistoryLink::attach(profiles::Profile_Editor_Form& editor) {
    open();
    settings::OwnSettings* own = &own_;
    editor.setOperatorMemory(own_.operatorName(), [own](const QString& name) { own->rememberOperator(name); });
    editor.setRunFileHandlers([this](const profiles::RunFacts& f) { runStarted(f); },
                              [this](const profiles::RunFacts& f) { runEnded(f); });
}

history::RunEntry RunHistoryLink::entryOf(const profiles::RunFacts& f) const {
    history::RunEntry run;
    run.started = f.started;
    run.stationId = state_.MachineId;
    run.firmware = state_.FirmwareVersion ? QString::number(state_.FirmwareVersion) : QString();
    run.programVersion = QCoreApplication::applicationVersion().isEmpty() ? QString(KR_PROGRAM_VERSION)
                                                                          : QCoreApplication::applicationVersion();
    run.profileName = f.profile.ProfileName.trimmed();
    for (int p = 0; p < 3; ++p) {
        const profiles::ProfilePoint& x = f.profile.point(p + 1);
        run.points[std::size_t(p)] = {f.pointsC[std::size_t(p)], x.PointMessage.trimmed(),
                                      profiles::kLowerHeaterEntries.value(x.LHMode),
                                      profiles::kUpperHeaterEntries.value(x.UHMode), x.Fan,
                                      profiles::kParkEntries.value(x.ParkMode)};
    }
    run.alloy = f.profile.Alloy == profiles::AlloyKind::LeadFree ? "Lead-Free" : "Leaded";
    run.paste = f.paste;
    run.board = f.board;
    run.operatorName = f.operatorName;
    run.csvFile = f.csvPath;
    run.txtFile = f.txtPath;
    run.pngFile = f.pngPath;
    run.station = own_.stationName();
    return run;
}

void RunHistoryLink::runStarted(const profiles::RunFacts& f) {
    runId_ = history::newRunId();
    open();
    if (!db_.isOpen()) return;
    history::RunEntry run = entryOf(f);
    run.runId = runId_;
    run.outcome = history::outcome::kRunning;
    db_.writeRunLine(run);
    if (window_) window_->refresh();
}

// The run as its record holds it, up to its end, judged as the editor judged it.
void RunHistoryLink::runEnded(const profiles::RunFacts& f) {
    open();
    if (!db_.isOpen()) return;
    history::RunEntry run = entryOf(f);
    run.runId = runId_.isEmpty() ? history::newRunId() : runId_;
    runId_.clear();
    run.rows = history::readRecordRows(f.csvPath).rows;
    history::judgeFromRows(run, pasteWindows(own_));
    if (!db_.writeRun(run) && !writeFailSaid_) {
        writeFailSaid_ = true;
        sayOnce("The run could not be kept in the run history (" + db_.lastError() +
                "); its record is in " + f.csvPath + " and is brought in at the next start.");
    }
    if (window_) window_->refresh();
}

void RunHistoryLink::openWindow() {
    open();
    if (window_) {
        if (mirror_) mirror_->refresh();
        window_->show();
        window_->raise();
        window_->activateWindow();
        return;
    }
    // A window of its own, not the main window's: it stays in reach while the editor holds
    // the main window disabled.
    window_ = new history::RunHistoryWindow(db_, dialogs_, saveFolder_, pasteWindows(own_));
    window_->setOverlayHandler([this](const history::RunDatabase& db, const QStringList& ids) { showOverlay(db, ids); });
    window_->setOpenProfileHandler([this](const history::RunEntry& run) { openProfile(run); });
    if (shop_ && shop_->waiting() > 0) window_->setNotice(shop_->waitingText());
    if (mirror_) showShopIn(*window_);
    window_->show();
}

profiles::OverlayTrace RunHistoryLink::overlayTrace(const history::OverlayRun& run) {
    return {run.name, run.colour, run.boardC, run.reachedS, run.peakC, run.aboveLiquidusS};
}

void RunHistoryLink::showOverlay(const history::RunDatabase& db, const QStringList& runIds) {
    profiles::Profile_Editor_Form* editor = openEditor_ ? openEditor_() : nullptr;
    if (!editor) return;
    std::vector<profiles::OverlayTrace> traces;
    for (const history::OverlayRun& run : history::overlayRuns(db, runIds)) traces.push_back(overlayTrace(run));
    editor->setOverlay(std::move(traces));
    editor->raise();
}

profiles::ProfileRecord RunHistoryLink::profileOf(const history::RunEntry& run, bool fahrenheit) {
    profiles::ProfileRecord r;
    r.ProfileName = run.profileName;
    for (int p = 0; p < 3; ++p) {
        const history::RunPoint& x = run.points[std::size_t(p)];
        profiles::ProfilePoint& out = r.point(p + 1);
        out.PointTemperature =
            QString::number(std::lround(profiles::displayTemperature(std::int16_t(x.celsius), fahrenheit)));
        out.PointMessage = x.message;
        out.LHMode = std::max<int>(0, int(profiles::kLowerHeaterEntries.indexOf(x.lowerHeater)));
        out.UHMode = std::max<int>(0, int(profiles::kUpperHeaterEntries.indexOf(x.upperHeater)));
        out.Fan = x.fan;
        out.ParkMode = std::max<int>(0, int(profiles::kParkEntries.indexOf(x.mode)));
    }
    r.Alloy = run.alloy == "Lead-Free" ? profiles::AlloyKind::LeadFree : profiles::AlloyKind::Leaded;
    return r;
}

void RunHistoryLink::openProfile(const history::RunEntry& run) {
    profiles::Profile_Editor_Form* editor = openEditor_ ? openEditor_() : nullptr;
    if (!editor) return;
    if (editor->locked() || editor->sequencer().running()) {
        dialogs_.message("Run History", kEditorBusy);
        return;
    }
    editor->showRecord(profileOf(run, state_.Settings.TempUnit != 0));
    editor->refreshCurveFromBoxes();
    editor->raise();
    editor->activateWindow();
}

}  // namespace app

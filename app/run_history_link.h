#pragma once
#include "history/run_database.h"
#include "history/run_entry.h"
#include "history/run_overlay.h"
#include "history/shop_forwarding.h"
#include "history/shop_mirror.h"
#include "profiles/chart_overlay.h"
#include "profiles/profile_record.h"
#include "profiles/run_facts.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

namespace core {
struct SharedState;
}
namespace platform {
class Clock;
class Dialogs;
class Timer;
}
namespace settings {
class OwnSettings;
}
namespace profiles {
class Profile_Editor_Form;
}
namespace history {
class RunHistoryWindow;
}

namespace app {

// Between the profile editor and the run history: a run's start and end go into the
// database, the Run History window opens, its ticked runs go onto the editor's chart and
// a run's profile into the editor.
class RunHistoryLink {
public:
    RunHistoryLink(core::SharedState& state, settings::OwnSettings& own, platform::Dialogs& dialogs,
                   platform::Clock& clock);
    ~RunHistoryLink();

    // Where the database and the run records are. The first window does not need them: the
    // database is opened by open(), which the program calls once its window is up, and which
    // every use of the history before then calls first.
    void start(const QString& userDataFolder, const QStringList& recordFolders, const QString& saveFolder);
    // Opens the database in the per-user data folder, brings in the run records of the
    // folders it lacks and starts forwarding to the shop's database; once, after start(). A
    // database that cannot be used, or records that cannot be read, are said once in the
    // diagnostic list; the program goes on without them.
    void open();
    bool opened() const { return opened_; }
    // The editor's Board and Operator boxes and its run's start and end. Opens the database
    // first: a run's record must not be brought in as an earlier run's while it is written.
    void attach(profiles::Profile_Editor_Form& editor);
    void openWindow();
    // How the history gets an editor for an overlay or a profile (opened when it is not).
    void setEditorOpener(std::function<profiles::Profile_Editor_Form*()> open) { openEditor_ = std::move(open); }

    history::RunDatabase& database() {
        open();
        return db_;
    }
    // The shop's shared database for this start (--runs-db), over the own settings' one.
    void setShopDatabase(const QString& address) { shopAddress_ = address; }
    // Options named another shop database or bench name: forwarding starts anew with them
    // (what waits stays queued and goes to the new address).
    void changeShopDatabase(const QString& address);
    // The address this start forwards to: the command line's, or the own settings'.
    QString shopDatabaseInUse() const;
    history::ShopForwarding* shop() {
        open();
        return shop_.get();
    }
    history::ShopMirror* shopRuns() const { return mirror_.get(); }
    // How often the open history window reads the shop's runs again.
    static constexpr int kShopReadingMs = 30000;
    history::RunHistoryWindow* window() const;
    void showOverlay(const history::RunDatabase& db, const QStringList& runIds);
    void openProfile(const history::RunEntry& run);

    // An earlier run's figures and readings as the profile chart draws them.
    static profiles::OverlayTrace overlayTrace(const history::OverlayRun& run);
    // A run's profile as the editor's controls hold it, temperatures in the display unit.
    static profiles::ProfileRecord profileOf(const history::RunEntry& run, bool fahrenheit);
    static constexpr const char* kEditorBusy = "The profile editor is busy with a run or a transfer; open the profile when it is done.";

private:
    history::RunEntry entryOf(const profiles::RunFacts& facts) const;
    void runStarted(const profiles::RunFacts& facts);
    void runEnded(const profiles::RunFacts& facts);
    void sayOnce(const QString& line);
    void startShop();
    void showShopIn(history::RunHistoryWindow& window);

    core::SharedState& state_;
    settings::OwnSettings& own_;
    platform::Dialogs& dialogs_;
    history::RunDatabase db_;
    QString shopAddress_;
    QString userDataFolder_;
    std::unique_ptr<history::ShopForwarding> shop_;  // goes before the database it reads
    std::unique_ptr<history::ShopMirror> mirror_;    // the shop's runs for the history window
    std::unique_ptr<platform::Timer> shopReading_;
    QString saveFolder_;
    QStringList recordFolders_;
    bool started_ = false, opened_ = false;
    QPointer<history::RunHistoryWindow> window_;
    std::function<profiles::Profile_Editor_Form*()> openEditor_;
    QString runId_;  // the run under way
    bool writeFailSaid_ = false;
};

}  // namespace app

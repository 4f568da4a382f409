#pragma once
#include "history/run_database.h"
#include "history/shop_address.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class QThread;

namespace history {

// The shop's runs as this PC last read them: a SQLite file beside the local history, with
// the same schema, filled from the shop database on a thread of its own. The history window
// lists, sorts and filters it like the local file and never waits for the server. Every
// run's line is copied; a run's rows only when it is opened or drawn on the profile chart.
// One copy runs at a time; the UI thread only reads the file.
class ShopMirror : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFileName = "ShopRuns.sqlite";
    // The newest runs a first reading copies; later readings copy what came since.
    static constexpr int kMostRuns = 100000;
    // How far back a later reading looks: a run reaches the server when it ends, or later
    // when its bench was away from it.
    static constexpr int kOverlapDays = 2;

    ShopMirror(ShopAddress address, QString path);
    ~ShopMirror() override;

    // Opens or makes the file; false with database().problem() saying why.
    bool open();
    const RunDatabase& database() const { return mirror_; }
    const ShopAddress& address() const { return address_; }
    // The last reading reached the shop (the file holds its runs); before the first answer
    // and after a failed reading, not.
    bool reached() const { return reached_; }
    // Why the history window shows this PC's runs instead; empty while reached.
    QString notice() const { return notice_; }

    // Reads the shop's runs the file lacks. Answers by `refreshed`; a reading asked for while
    // one waits is the same reading.
    void refresh();
    // Copies the rows of those runs the file holds without them; `done` gets an empty text,
    // or why not in plain words. Not called once the mirror is gone.
    void fetchRows(const QStringList& runIds, std::function<void(const QString& error)> done);

signals:
    void refreshed();

private:
    struct Job {
        QStringList rowsOf;  // empty: a reading of the runs' lines
        std::function<void(const QString&)> done;
    };
    void runNext();

    const ShopAddress address_;
    const QString path_;
    RunDatabase mirror_;
    std::deque<Job> jobs_;
    QThread* thread_ = nullptr;
    bool wholeRead_ = false;  // a first, whole reading has been made this session
    bool reached_ = false;
    QString notice_;
};

}  // namespace history

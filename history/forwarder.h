#pragma once
#include "history/shop_address.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class QThread;

namespace history {

// The pauses between tries while the shop database is away: growing, then the last one
// over and over.
struct RetryPauses {
    std::vector<int> ms{1000, 2000, 5000, 10000, 30000};
    int after(int failures) const;
};

// The forwarder's side that lives on its own thread: its connections, the run ids handed
// to it and the signals it reports by. Shared with the thread so that a thread left in a
// network call at the program's end still has what it uses.
class ForwardWorker : public QObject {
    Q_OBJECT
public:
    static constexpr int kRefusalsBeforePassing = 3;
    ForwardWorker(ShopAddress address, QString localPath, QString station, RetryPauses pauses);
    void work();  // the thread's loop

    std::mutex lock;
    std::condition_variable wake;
    std::deque<QString> inbox;  // run ids
    bool stopping = false;

signals:
    // Emitted on the forwarder's thread, received queued on the receiver's.
    void reached(int stepsMigrated);
    void delivered(const QString& runId, bool alreadyThere);
    void failed(const QString& runId, int failure, const QString& words);
    void missing(const QString& runId);  // not in the local database (any more)
    // The server took the connection but refused the run itself, try after try: the run is
    // passed over for now so that the runs behind it still go.
    void refused(const QString& runId, const QString& words);

private:
    bool pause(int ms);

    const ShopAddress address_;
    const QString localPath_;
    const QString station_;
    const RetryPauses pauses_;
};

// Sends runs to the shop database on a thread of its own, one at a time and in the order
// given, each retried with growing pauses until the server has it. It reads each run from
// the local database file through a connection of its own (SQLite's write-ahead log lets
// it read while the program writes) and takes it out of the local queue once the server
// has it; it touches nothing else of the program and reports only by queued signals.
class Forwarder {
public:
    Forwarder(ShopAddress address, QString localPath, QString station, RetryPauses pauses = {});
    ~Forwarder();
    Forwarder(const Forwarder&) = delete;
    Forwarder& operator=(const Forwarder&) = delete;

    ForwardWorker* voice() const { return worker_.get(); }
    void start();
    // Hands a run over by its id; callable from any thread.
    void send(const QString& runId);
    // Wakes the thread from a pause and lets it end, waiting at most `waitMs`. A thread held
    // in a network call (at most the connection timeout) is left to end by itself and
    // reports nothing more; what it was sending stays queued locally.
    void stop(int waitMs = 100);

private:
    std::shared_ptr<ForwardWorker> worker_;
    QThread* thread_ = nullptr;
};

}  // namespace history

#pragma once
#include "history/forward_queue.h"
#include "history/forwarder.h"
#include "history/shop_address.h"
#include "history/shop_connection.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace history {

class RunDatabase;

// Store and forward on the UI thread's side: every finished run the local database keeps is
// queued in the same transaction, and the queue is handed to the forwarder one run at a
// time. Nothing here waits for the server: the forwarder answers by queued signals, and
// leaving keeps what is still queued for the next start.
class ShopForwarding : public QObject {
    Q_OBJECT
public:
    using Say = std::function<void(const QString& line)>;  // a line for the diagnostic list

    ShopForwarding(RunDatabase& local, ShopAddress address, QString station, Say say, RetryPauses pauses = {});
    ~ShopForwarding() override;

    // Queues the runs written from now on and starts sending what waits. False when the
    // local database is not open (then nothing can wait for the server either).
    bool start();
    // Stops the forwarder at once; what is queued stays queued.
    void stop();

    int waiting() const { return waiting_; }
    QString waitingText() const { return history::waitingText(waiting_); }
    const ShopAddress& address() const { return address_; }

signals:
    void waitingChanged(int runs);
    void delivered(const QString& runId);

private:
    void feed();
    void recount();
    void onDelivered(const QString& runId);
    void onFailed(const QString& runId, int failure, const QString& words);
    void onReached(int stepsMigrated);
    void onMissing(const QString& runId);
    void onRefused(const QString& runId, const QString& words);

    static constexpr int kInFlight = 8;  // handed over ahead, so the thread never idles between runs

    RunDatabase& local_;
    ForwardQueue queue_;
    ShopAddress address_;
    Say say_;
    Forwarder forwarder_;
    QStringList inFlight_;
    QStringList passedOver_;  // refused by the server; tried again at the next start
    int waiting_ = 0;
    bool running_ = false;
    bool feedPending_ = false;
    ShopFailure said_ = ShopFailure::None;
};

}  // namespace history

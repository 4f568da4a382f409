#include "history/forwarder.h"

#include "history/forward_queue.h"
#include "history/run_database.h"
#include "history/shop_connection.h"

#include <QDeadlineTimer>
#include <QThread>

#include <chrono>

namespace history {

int RetryPauses::after(int failures) const {
    if (ms.empty() || failures <= 0) return 0;
    return ms[std::min<std::size_t>(std::size_t(failures - 1), ms.size() - 1)];
}

ForwardWorker::ForwardWorker(ShopAddress address, QString localPath, QString station, RetryPauses pauses)
    : address_(std::move(address)),
      localPath_(std::move(localPath)),
      station_(std::move(station)),
      pauses_(std::move(pauses)) {}

// Waits on the inbox's condition, so that stop() ends the pause at once.
bool ForwardWorker::pause(int ms) {
    std::unique_lock<std::mutex> l(lock);
    wake.wait_for(l, std::chrono::milliseconds(ms), [this] { return stopping; });
    return !stopping;
}

void ForwardWorker::work() {
    RunDatabase local;
    std::unique_ptr<ShopConnection> shop;
    int failures = 0, refusals = 0;
    QString refusedRun;
    for (;;) {
        QString runId;
        {
            std::unique_lock<std::mutex> l(lock);
            wake.wait(l, [this] { return stopping || !inbox.empty(); });
            if (stopping) break;
            runId = inbox.front();
        }
        if (!local.isOpen()) local.open(localPath_);
        std::optional<RunEntry> run = local.run(runId);
        ShopConnection::Sent sent = ShopConnection::Sent::Failed;
        bool sendTried = false;
        if (run) {
            if (!shop || !shop->isOpen()) {
                shop = std::make_unique<ShopConnection>(address_);
                if (shop->open().ok()) {
                    const int steps = shop->ensureSchema();
                    if (steps >= 0) emit reached(steps);
                }
            }
            sendTried = shop->lastAnswer().ok();
            if (sendTried) sent = shop->send(*run, station_);
        }
        {
            std::lock_guard<std::mutex> l(lock);
            if (stopping) break;
            if (!run || sent != ShopConnection::Sent::Failed) inbox.pop_front();
        }
        // Out of the queue here rather than on the UI thread: the write (and the
        // checkpoint of the write-ahead log it may bring) is this thread's wait.
        if (!run && local.isOpen()) {
            ForwardQueue(local).remove(runId);
            emit missing(runId);
            continue;
        }
        if (run && sent != ShopConnection::Sent::Failed) {
            failures = 0;
            ForwardQueue(local).remove(runId);
            emit delivered(runId, sent == ShopConnection::Sent::AlreadyThere);
            continue;
        }
        const ShopAnswer answer = shop ? shop->lastAnswer() : ShopAnswer{ShopFailure::Other, local.problem()};
        shop.reset();  // the next try starts from a new connection
        // A refusal of this run rather than trouble with the server: after a few, the run
        // is passed over (it stays queued) and the next one goes.
        if (sendTried && answer.failure == ShopFailure::Other) {
            refusals = refusedRun == runId ? refusals + 1 : 1;
            refusedRun = runId;
            if (refusals >= kRefusalsBeforePassing) {
                {
                    std::lock_guard<std::mutex> l(lock);
                    if (!inbox.empty() && inbox.front() == runId) inbox.pop_front();
                }
                refusals = 0;
                failures = 0;
                emit refused(runId, plainWords(address_, answer));
                continue;
            }
        }
        emit failed(runId, int(answer.failure), plainWords(address_, answer));
        if (!pause(pauses_.after(++failures))) break;
    }
    shop.reset();
}

Forwarder::Forwarder(ShopAddress address, QString localPath, QString station, RetryPauses pauses)
    : worker_(std::make_shared<ForwardWorker>(std::move(address), std::move(localPath), std::move(station),
                                              std::move(pauses))) {}

Forwarder::~Forwarder() { stop(); }

void Forwarder::start() {
    if (thread_) return;
    std::shared_ptr<ForwardWorker> worker = worker_;
    thread_ = QThread::create([worker] { worker->work(); });
    thread_->setObjectName("shop forwarder");
    thread_->start();
}

void Forwarder::send(const QString& runId) {
    {
        std::lock_guard<std::mutex> l(worker_->lock);
        worker_->inbox.push_back(runId);
    }
    worker_->wake.notify_all();
}

void Forwarder::stop(int waitMs) {
    if (!thread_) return;
    {
        std::lock_guard<std::mutex> l(worker_->lock);
        worker_->stopping = true;
    }
    worker_->wake.notify_all();
    worker_->disconnect();  // nothing more is reported
    if (thread_->wait(QDeadlineTimer(waitMs))) delete thread_;
    // Otherwise the thread is still in a network call: it ends by itself and the object
    // that runs it is left to the process's end rather than destroyed under it.
    thread_ = nullptr;
}

}  // namespace history

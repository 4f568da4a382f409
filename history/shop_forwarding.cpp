#include "history/shop_forwarding.h"

#include "history/run_database.h"

namespace history {

ShopForwarding::ShopForwarding(RunDatabase& local, ShopAddress address, QString station, Say say, RetryPauses pauses)
    : local_(local),
      queue_(local),
      address_(address),
      say_(std::move(say)),
      forwarder_(std::move(address), local.path(), std::move(station), std::move(pauses)) {
    ForwardWorker* voice = forwarder_.voice();
    connect(voice, &ForwardWorker::delivered, this, &ShopForwarding::onDelivered, Qt::QueuedConnection);
    connect(voice, &ForwardWorker::failed, this, &ShopForwarding::onFailed, Qt::QueuedConnection);
    connect(voice, &ForwardWorker::reached, this, &ShopForwarding::onReached, Qt::QueuedConnection);
    connect(voice, &ForwardWorker::missing, this, &ShopForwarding::onMissing, Qt::QueuedConnection);
    connect(voice, &ForwardWorker::refused, this, &ShopForwarding::onRefused, Qt::QueuedConnection);
}

ShopForwarding::~ShopForwarding() { stop(); }

bool ShopForwarding::start() {
    if (running_) return true;
    if (!queue_.ensureTable()) return false;
    queue_.queueEarlierRuns(address_.text());
    local_.setOnRunWritten([this](QSqlDatabase& db, const RunEntry& run) {
        if (run.outcome == outcome::kRunning) return true;
        if (!ForwardQueue::add(db, run.runId)) return false;
        // Sent once the write has committed, on the next turn of the event loop.
        if (!feedPending_) {
            feedPending_ = true;
            QMetaObject::invokeMethod(this, [this] { feed(); }, Qt::QueuedConnection);
        }
        return true;
    });
    running_ = true;
    forwarder_.start();
    recount();
    if (waiting_ > 0) say_(waitingText());
    feed();
    return true;
}

void ShopForwarding::stop() {
    if (!running_) return;
    running_ = false;
    local_.setOnRunWritten({});
    forwarder_.stop();
}

void ShopForwarding::recount() {
    const int now = queue_.count();
    if (now == waiting_) return;
    waiting_ = now;
    emit waitingChanged(waiting_);
}

// Hands the next queued runs over by their ids; the forwarder reads them itself.
void ShopForwarding::feed() {
    feedPending_ = false;
    if (!running_) return;
    recount();
    if (inFlight_.size() >= kInFlight) return;
    for (const QString& id : queue_.next(kInFlight - int(inFlight_.size()), inFlight_ + passedOver_)) {
        inFlight_ << id;
        forwarder_.send(id);
    }
}

// Gone from the local database: nothing is left to send.
void ShopForwarding::onMissing(const QString& runId) {
    if (!running_) return;
    inFlight_.removeAll(runId);
    feed();
}

void ShopForwarding::onRefused(const QString& runId, const QString& words) {
    if (!running_) return;
    inFlight_.removeAll(runId);
    passedOver_ << runId;
    const std::optional<RunEntry> run = local_.run(runId);
    const QString which = run ? QString("The run of %1 (board %2)")
                                    .arg(run->started.toString("yyyy-MM-dd hh:mm"), run->board.isEmpty() ? "--" : run->board)
                              : QString("A run");
    say_(which + " was refused by the shop database: " + words +
         " It stays on this PC and is offered again at the next start; the runs after it go on.");
    feed();
}

void ShopForwarding::onDelivered(const QString& runId) {
    if (!running_) return;
    inFlight_.removeAll(runId);
    if (said_ != ShopFailure::None) {
        say_(plainWords(address_, {}) + " The runs that waited are being sent.");
        said_ = ShopFailure::None;
    }
    emit delivered(runId);
    feed();
}

// Each kind of trouble is said once, not at every try.
void ShopForwarding::onFailed(const QString&, int failure, const QString& words) {
    if (!running_ || ShopFailure(failure) == said_) return;
    said_ = ShopFailure(failure);
    say_(words + " " + (waiting_ == 1 ? QString("The run is") : QString("The runs are")) +
         " kept on this PC and sent when it answers.");
}

void ShopForwarding::onReached(int stepsMigrated) {
    if (running_ && stepsMigrated > 0)
        say_(QString("The shop database %1 was brought to schema version %2.")
                 .arg(address_.database)
                 .arg(newestSchemaVersion()));
}

}  // namespace history

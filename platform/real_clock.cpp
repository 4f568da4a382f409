#include "platform/real_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace platform {

namespace {

class RealTimer final : public Timer {
public:
    RealTimer(const Clock& clock, int intervalMs, std::function<void()> onTick) : Timer(clock) {
        setOnTick(std::move(onTick));
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (running_) return;  // no re-entry while the handler waits
            running_ = true;
            fire();
            running_ = false;
        });
    }
    void setInterval(int ms) override { timer_.setInterval(ms); }
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool on) override {
        if (on && !timer_.isActive()) timer_.start();
        if (!on) timer_.stop();
    }
    bool enabled() const override { return timer_.isActive(); }
    void setLoose() override { timer_.setTimerType(Qt::VeryCoarseTimer); }

private:
    QTimer timer_;
    bool running_ = false;
};

}  // namespace

RealClock::RealClock() : wake_(new QTimer(&callbacks_)) {
    elapsed_.start();
    wake_->setTimerType(Qt::PreciseTimer);
    wake_->setSingleShot(true);
    QObject::connect(wake_, &QTimer::timeout, [] {});
}

std::unique_ptr<Timer> RealClock::createTimer(int intervalMs, std::function<void()> onTick) {
    return std::make_unique<RealTimer>(*this, intervalMs, std::move(onTick));
}

void RealClock::schedule(int delayMs, std::function<void()> callback) {
    QTimer::singleShot(delayMs, Qt::PreciseTimer, &callbacks_,
                       [this, callback = std::move(callback)] { runCallback(callback); });
}

std::int64_t RealClock::nowMs() const { return elapsed_.elapsed(); }

void RealClock::pumpPending() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void RealClock::pumpNext(int maxMs) {
    // The wake-up timer bounds the sleep; any other event ends it earlier. A wait that an
    // event handler starts inside this one restarts it, but this one then returns anyway,
    // as it has run an event, and its caller waits again for what is left.
    wake_->start(maxMs > 0 ? maxMs : 0);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    wake_->stop();  // no stray wake-up once the wait is over
}

bool RealClock::runUntil(const std::function<bool()>& done, int limitMs) {
    const std::int64_t end = nowMs() + limitMs;
    while (!done()) {
        const std::int64_t left = end - nowMs();
        if (left <= 0 || ending()) return done();
        pumpNext(static_cast<int>(left));
    }
    return true;
}

}  // namespace platform

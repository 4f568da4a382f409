#include "platform/virtual_clock.h"

#include <algorithm>

namespace platform {

class VirtualClock::VTimer final : public Timer {
public:
    VTimer(VirtualClock& clock, int intervalMs, std::function<void()> onTick)
        : Timer(clock), clock_(&clock), interval_(intervalMs) {
        setOnTick(std::move(onTick));
    }
    ~VTimer() override {
        if (clock_) std::erase(clock_->timers_, this);
    }
    void setInterval(int ms) override {
        interval_ = ms;
        if (enabled_) rearm();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool on) override {
        if (on == enabled_) return;
        enabled_ = on;
        if (on) rearm();
    }
    bool enabled() const override { return enabled_; }

    void rearm() {
        due_ = clock_->now_ + std::max(interval_, 1);
        seq_ = clock_->arm();
    }
    void tick() {
        rearm();
        if (running_) return;  // no re-entry while the handler waits
        running_ = true;
        fire();
        running_ = false;
    }
    void detach() { clock_ = nullptr; }

    VirtualClock* clock_;
    int interval_;
    bool enabled_ = false;
    bool running_ = false;
    std::int64_t due_ = 0;
    std::uint64_t seq_ = 0;
};

VirtualClock::VirtualClock() = default;

VirtualClock::~VirtualClock() {
    for (VTimer* t : timers_) t->detach();
}

std::unique_ptr<Timer> VirtualClock::createTimer(int intervalMs, std::function<void()> onTick) {
    auto timer = std::make_unique<VTimer>(*this, intervalMs, std::move(onTick));
    timers_.push_back(timer.get());
    return timer;
}

void VirtualClock::schedule(int delayMs, std::function<void()> callback) {
    callbacks_.push_back({now_ + std::max(delayMs, 0), arm(), std::move(callback)});
}

VirtualClock::Next VirtualClock::findNext() const {
    Next best;
    auto better = [&best](std::int64_t due, std::uint64_t seq) {
        return !best.found || due < best.due || (due == best.due && seq < best.seq);
    };
    for (VTimer* t : timers_) {
        if (t->enabled_ && !t->running_ && better(t->due_, t->seq_)) {
            best = {t->due_, t->seq_, t, 0, true};
        }
    }
    for (std::size_t i = 0; i < callbacks_.size(); ++i) {
        if (better(callbacks_[i].due, callbacks_[i].seq)) {
            best = {callbacks_[i].due, callbacks_[i].seq, nullptr, i, true};
        }
    }
    return best;
}

void VirtualClock::runEvent(const Next& next) {
    now_ = std::max(now_, next.due);
    ++eventsRun_;
    if (next.timer) {
        next.timer->tick();
    } else {
        auto fn = std::move(callbacks_[next.callback].fn);
        callbacks_.erase(callbacks_.begin() + static_cast<std::ptrdiff_t>(next.callback));
        runCallback(fn);
    }
}

bool VirtualClock::runDue(std::int64_t upTo) {
    const Next next = findNext();
    if (!next.found || next.due > upTo) return false;
    runEvent(next);
    return true;
}

void VirtualClock::pumpPending() {
    while (!ending() && runDue(now_)) {
    }
}

void VirtualClock::pumpNext(int maxMs) {
    const Next next = findNext();
    if (!next.found) {
        throw VirtualDeadlock("virtual clock: a wait at t=" + std::to_string(now_) +
                              " ms has nothing scheduled that could end it");
    }
    const std::int64_t limit = now_ + std::max(maxMs, 0);
    if (next.due > limit) {
        now_ = limit;
        return;
    }
    runEvent(next);
    pumpPending();
}

void VirtualClock::pumpFor(int ms) {
    const std::int64_t end = now_ + ms;
    while (!ending() && runDue(end)) {
    }
    if (!ending()) now_ = std::max(now_, end);
}

void VirtualClock::advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    while (runDue(end)) {
    }
    now_ = std::max(now_, end);
}

bool VirtualClock::runUntil(const std::function<bool()>& done, std::int64_t limitMs) {
    const std::int64_t end = now_ + limitMs;
    while (!done()) {
        if (!runDue(end)) {
            now_ = end;
            return done();
        }
    }
    return true;
}

}  // namespace platform

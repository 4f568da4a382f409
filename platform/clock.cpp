#include "platform/clock.h"

namespace platform {

void Timer::fire() {
    if (clock_.ending() || !onTick_) return;
    stopAtEnd(onTick_);
}

void Clock::runCallback(const std::function<void()>& callback) const {
    if (ending_ || !callback) return;
    stopAtEnd(callback);
}

void Clock::runPending() {
    throwIfEnding();
    pumpPending();
    throwIfEnding();
}

void Clock::waitNext(int maxMs) {
    throwIfEnding();
    pumpNext(maxMs);
    throwIfEnding();
}

void Clock::pause(int ms) {
    throwIfEnding();
    pumpFor(ms);
    throwIfEnding();
}

void Clock::pumpFor(int ms) {
    const std::int64_t end = nowMs() + ms;
    for (std::int64_t left = ms; left > 0 && !ending_; left = end - nowMs()) pumpNext(static_cast<int>(left));
}

bool Clock::waitFor(const std::function<bool()>& done, int limitMs) {
    const std::int64_t end = nowMs() + limitMs;
    runPending();
    while (!done()) {
        const std::int64_t left = end - nowMs();
        if (left <= 0) return false;
        waitNext(static_cast<int>(left));
    }
    return true;
}

}  // namespace platform

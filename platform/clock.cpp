#include "platform/clock.h"

namespace platform {

void Clock::pause(int ms) {
    const std::int64_t end = nowMs() + ms;
    for (std::int64_t left = ms; left > 0; left = end - nowMs()) waitNext(static_cast<int>(left));
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

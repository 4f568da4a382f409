#include "simulator/thermocouple.h"

#include <algorithm>
#include <cmath>

namespace simulator {

double Thermocouple::reading(std::int64_t nowMs, double boardC) const {
    const double seconds = double(std::max<std::int64_t>(0, nowMs - anchorMs_)) / 1000.0;
    if (detached_) return kAirC + (anchorC_ - kAirC) * std::exp(-seconds / kDetachedTimeConstantS);
    return boardC + anchorC_ * std::exp(-seconds / kReattachTimeConstantS);
}

void Thermocouple::setDetached(std::int64_t nowMs, double boardC, bool detached) {
    if (detached == detached_) return;
    const double now = reading(nowMs, boardC);
    detached_ = detached;
    anchorMs_ = nowMs;
    anchorC_ = detached ? now : now - boardC;
}

void Thermocouple::settle(std::int64_t nowMs) {
    if (detached_) return;
    anchorMs_ = nowMs;
    anchorC_ = 0.0;
}

}  // namespace simulator

#include "simulator/thermal_model.h"

#include <algorithm>
#include <cmath>

namespace simulator {

double ThermalModel::equilibrium() const {
    const double k = kLossPerSecond * (fan_ ? kFanLossFactor : 1.0);
    const double power = kLowerPower[std::clamp(lower_, 1, 4)] + kUpperPower[std::clamp(upper_, 1, 3)];
    return kAmbientC + power / k;
}

void ThermalModel::advanceTo(std::int64_t nowMs) {
    if (nowMs <= lastMs_) return;
    const double k = kLossPerSecond * (fan_ ? kFanLossFactor : 1.0);
    const double seconds = double(nowMs - lastMs_) / 1000.0;
    const double target = equilibrium();
    temperature_ = target + (temperature_ - target) * std::exp(-k * seconds);
    lastMs_ = nowMs;
}

void ThermalModel::setInputs(std::int64_t nowMs, int lowerLevel, int upperLevel, bool fanOn) {
    advanceTo(nowMs);
    lastMs_ = std::max(lastMs_, nowMs);
    lower_ = lowerLevel;
    upper_ = upperLevel;
    fan_ = fanOn;
}

void ThermalModel::setTemperature(std::int64_t nowMs, double c) {
    advanceTo(nowMs);
    lastMs_ = std::max(lastMs_, nowMs);
    temperature_ = c;
}

}  // namespace simulator

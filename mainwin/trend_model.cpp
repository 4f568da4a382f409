#include "mainwin/trend_model.h"

#include "settings/units.h"

#include <algorithm>
#include <cmath>

namespace mainwin {

TrendModel::TrendModel(core::SharedState& state)
    : state_(state), store_(state.PlottedSamples, state.TraceResetRequested) {}

void TrendModel::clear() {
    store_.clear();
    storedFahrenheit_ = state_.Settings.TempUnit != 0;
}

void TrendModel::followUnit() {
    const bool fahrenheit = state_.Settings.TempUnit != 0;
    if (fahrenheit == storedFahrenheit_) return;
    for (int i = 0; i < kSize; ++i) {
        const double v = store_.at(i);
        const auto whole = std::isnan(v) ? std::nullopt : settings::roundToInt16(v);
        if (!whole) continue;
        const auto converted = fahrenheit ? settings::ToFahr(*whole) : settings::ToCelsius(*whole);
        if (converted) store_.set(i, *converted);
    }
    storedFahrenheit_ = fahrenheit;
}

int TrendModel::latestIndex() const { return std::clamp<int>(state_.PlottedSamples, 0, kSize - 1); }

void TrendModel::AppendTrendSample(std::int16_t celsius) {
    followUnit();
    double v = celsius;
    if (state_.Settings.TempUnit != 0) v = settings::ToFahr(celsius).value_or(celsius);
    if (state_.PlottedSamples >= 360) {
        store_.scrollIn(v);
        return;
    }
    store_.set(latestIndex(), v);
}

TrendModel::Frame TrendModel::prepareFrame() {
    followUnit();
    store_.takeReset();
    Frame f;
    f.fahrenheit = state_.Settings.TempUnit != 0;
    const double current = store_.at(latestIndex());
    f.latest = current;
    if (state_.PlottedSamples > 299) {
        f.latest = store_.at(kSize - 1);
        store_.requestReset();
    }
    const std::int16_t alarm = state_.Settings.AlarmThreshold;
    f.alarm = f.fahrenheit ? settings::ToFahr(alarm).value_or(alarm) : alarm;
    f.alarmExceeded = !std::isnan(current) && current > f.alarm && current < 5000;
    return f;
}

}  // namespace mainwin

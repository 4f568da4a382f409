#include "mainwin/trend_model.h"

#include "settings/units.h"

#include <algorithm>
#include <cmath>

namespace mainwin {

TrendModel::TrendModel(core::SharedState& state)
    : state_(state), store_(state.PlottedSamples, state.TraceResetRequested) {}

void TrendModel::clear() { store_.clear(); }

int TrendModel::latestIndex() const { return std::clamp<int>(state_.PlottedSamples, 0, kSize - 1); }

void TrendModel::AppendTrendSample(std::int16_t celsius) {
    double v = celsius;
    if (state_.Settings.TempUnit != 0) v = settings::ToFahr(celsius).value_or(celsius);
    if (state_.PlottedSamples >= 360) {
        store_.scrollIn(v);
        return;
    }
    store_.set(latestIndex(), v);
}

TrendModel::Frame TrendModel::prepareFrame() {
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

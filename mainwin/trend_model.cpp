#include "mainwin/trend_model.h"

#include "mainwin/units.h"

#include <algorithm>
#include <cmath>

namespace mainwin {

TrendModel::TrendModel(core::SharedState& state) : state_(state) { clear(); }

void TrendModel::clear() { samples_.fill(kNoValue); }

int TrendModel::latestIndex() const { return std::clamp<int>(state_.PlottedSamples, 0, kSize - 1); }

void TrendModel::AppendTrendSample(std::int16_t celsius) {
    double v = celsius;
    if (state_.Settings.TempUnit != 0) v = settings::ToFahr(celsius).value_or(celsius);
    if (state_.PlottedSamples >= 360) {
        std::move(samples_.begin() + 1, samples_.end(), samples_.begin());
        samples_[kSize - 1] = v;
        return;
    }
    samples_[std::size_t(latestIndex())] = v;
}

TrendModel::Frame TrendModel::prepareFrame() {
    if (state_.TraceResetRequested) {
        clear();
        state_.TraceResetRequested = false;
        samples_[0] = 0;
        state_.PlottedSamples = 0;
    }
    Frame f;
    f.fahrenheit = state_.Settings.TempUnit != 0;
    const double current = samples_[std::size_t(latestIndex())];
    f.latest = current;
    if (state_.PlottedSamples > 299) {
        f.latest = samples_[kSize - 1];
        state_.TraceResetRequested = true;
    }
    const std::int16_t alarm = state_.Settings.AlarmThreshold;
    f.alarm = f.fahrenheit ? settings::ToFahr(alarm).value_or(alarm) : alarm;
    f.alarmExceeded = !std::isnan(current) && current > f.alarm && current < 5000;
    return f;
}

}  // namespace mainwin

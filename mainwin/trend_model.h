#pragma once
#include "core/shared_state.h"
#include "ui/trace_store.h"

namespace mainwin {

// The trend's sample store: sample i is the reading i seconds after the curve started,
// in the display unit; NaN marks "no value". When the unit changes the stored samples
// are converted with it, so the curve never mixes units. The count is the shared
// PlottedSamples.
class TrendModel {
public:
    static constexpr int kSize = ui::TraceStore::kSize;
    static constexpr double kNoValue = ui::TraceStore::kNoValue;

    explicit TrendModel(core::SharedState& state);

    void clear();
    // One reading in Celsius, stored at PlottedSamples (the caller counts it). From 360
    // on the store scrolls instead: everything moves down and the reading goes last.
    void AppendTrendSample(std::int16_t celsius);

    // What a redraw shows, computed the way the chart asks for it. Consumes the shared
    // reset request, and sets it when the curve is full.
    struct Frame {
        double latest = kNoValue;  // the legend's reading
        double alarm = 0;          // alarm value in the display unit
        bool alarmExceeded = false;
        bool fahrenheit = false;
    };
    Frame prepareFrame();

    const std::array<double, kSize>& samples() const { return store_.samples(); }
    // The index the latest reading sits at, kept inside the store.
    int latestIndex() const;

private:
    // Converts the stored samples when the display unit is no longer theirs.
    void followUnit();

    core::SharedState& state_;
    ui::TraceStore store_;
    bool storedFahrenheit_ = false;
};

}  // namespace mainwin

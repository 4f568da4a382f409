#pragma once
#include <array>
#include <cstdint>
#include <limits>

namespace ui {

// A live temperature trace: a fixed number of samples, one a second, and the count that
// says where the next one goes. Both live charts keep one; the shared reset request
// (TraceResetRequested) empties whichever store is drawn next.
class TraceStore {
public:
    static constexpr int kSize = 400;
    static constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

    // The count and the reset request live with their owners: the trend's count is the
    // shared PlottedSamples, the profile chart's its own TcSampleCount.
    TraceStore(std::int16_t& count, bool& resetRequested);

    // Every entry empty.
    void clear();
    // When a fresh trace was asked for: every entry empty, entry 0 = 0, the count 0 and the
    // request withdrawn. True if it did so.
    bool takeReset();

    void set(int index, double value);  // outside the store: ignored
    // Moves every entry one down and puts the value last.
    void scrollIn(double value);
    double at(int index) const;  // outside the store: no value
    const std::array<double, kSize>& samples() const { return samples_; }

    std::int16_t count() const { return count_; }
    void setCount(std::int16_t n) { count_ = n; }
    bool resetRequested() const { return reset_; }
    void requestReset() { reset_ = true; }

private:
    std::array<double, kSize> samples_;
    std::int16_t& count_;
    bool& reset_;
};

}  // namespace ui

#pragma once
#include "process/paste_window.h"

#include <array>
#include <optional>
#include <span>

namespace process {

// One once-a-second row of a run: its time and the board reading, if there was one.
struct Row {
    double timeS = 0;
    std::optional<double> boardC;
};

// A run's statistics, each empty when the rows do not give it (no reading at all, or no two
// readings 5 s apart for a slope).
struct RunFigures {
    std::optional<double> peakC;
    double peakAtS = 0;
    std::array<std::optional<double>, kStatisticCount> values;

    std::optional<double> value(Statistic s) const { return values[indexOf(s)]; }
};

// Readings further apart than this have a gap between them: no slope is taken across.
inline constexpr double kRowGapS = 1.6;
inline constexpr double kStartC = 25;     // where the time to the peak starts
inline constexpr double kNearPeakC = 5;   // "within 5 C of the peak"
inline constexpr double kSlopeSpanS = 5;  // slopes over 5 s

// The statistics of a run from its once-a-second rows in time order. The liquidus and the
// soak band come from the window.
RunFigures runFigures(std::span<const Row> rows, const PasteWindow& window);

// Whether the board has cooled far enough for every statistic to be taken in full: the
// last reading is below the liquidus and more than 5 C below the peak (the time above the
// liquidus and near the peak are over) and a cooling slope has been taken after the peak.
bool coolingSeen(std::span<const Row> rows, const PasteWindow& window);

}  // namespace process

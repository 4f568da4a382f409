#pragma once
#include <QColor>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace profiles {

// An earlier run drawn behind the live trace of the profile chart, with the times and
// values the editor compares with the current run's.
struct OverlayTrace {
    QString name;  // the legend's words: date and board
    QColor colour;
    std::vector<double> boardC;  // a reading a second from 0 s, NaN where there was none
    std::array<std::optional<double>, 3> reachedS;
    std::optional<double> peakC;
    std::optional<double> aboveLiquidusS;
};

inline constexpr int kMostOverlays = 5;

}  // namespace profiles

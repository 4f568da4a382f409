#include "process/run_figures.h"

#include <algorithm>

namespace process {

namespace {

// Every pair of readings about 5 s apart within a stretch without a gap, the earlier one
// at or after fromS: the steepest rise and the steepest fall (as a magnitude), never below
// 0; empty when there is no such pair.
struct Slopes {
    std::optional<double> rise;
    std::optional<double> fall;
};

// Whether row k carries on the stretch of readings of row k - 1.
bool carriesOn(std::span<const Row> rows, std::size_t k) {
    return rows[k].boardC && rows[k - 1].boardC && rows[k].timeS - rows[k - 1].timeS <= kRowGapS;
}

Slopes steepest(std::span<const Row> rows, double fromS) {
    Slopes s;
    std::size_t j = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].boardC || rows[i].timeS < fromS) continue;
        j = std::max(j, i + 1);
        while (j < rows.size() && carriesOn(rows, j) && rows[j].timeS - rows[i].timeS < kSlopeSpanS - 0.5) ++j;
        if (j >= rows.size() || !carriesOn(rows, j) || rows[j].timeS - rows[i].timeS > kSlopeSpanS + 0.5) continue;
        const double r = (*rows[j].boardC - *rows[i].boardC) / (rows[j].timeS - rows[i].timeS);
        s.rise = std::max(s.rise.value_or(0.0), r);
        s.fall = std::max(s.fall.value_or(0.0), -r);
    }
    return s;
}

}  // namespace

RunFigures runFigures(std::span<const Row> rows, const PasteWindow& window) {
    RunFigures f;
    std::optional<double> startS;
    for (const Row& r : rows) {
        if (!r.boardC) continue;
        if (!f.peakC || *r.boardC > *f.peakC) {
            f.peakC = r.boardC;
            f.peakAtS = r.timeS;
        }
        // From the first reading at or above 25 C: a run that starts above it counts from
        // its first reading.
        if (!startS && *r.boardC >= kStartC) startS = r.timeS;
    }
    if (!f.peakC) return f;

    double soakS = 0, aboveS = 0, nearS = 0;
    for (const Row& r : rows) {
        if (!r.boardC) continue;
        const double c = *r.boardC;
        // The soak is the heating side's: the cooling passes through the band as well.
        if (r.timeS <= f.peakAtS && c >= window.soakLowC && c <= window.soakHighC) soakS += 1;
        if (c >= window.liquidusC) aboveS += 1;
        if (c >= *f.peakC - kNearPeakC) nearS += 1;
    }
    auto set = [&f](Statistic s, std::optional<double> v) { f.values[indexOf(s)] = v; };
    set(Statistic::HeatingSlope, steepest(rows, rows.front().timeS).rise);
    set(Statistic::SoakTime, soakS);
    set(Statistic::TimeAboveLiquidus, aboveS);
    set(Statistic::Peak, f.peakC);
    set(Statistic::TimeNearPeak, nearS);
    set(Statistic::CoolingSlope, steepest(rows, f.peakAtS).fall);
    set(Statistic::TimeToPeak, f.peakAtS - startS.value_or(f.peakAtS));
    return f;
}

bool coolingSeen(std::span<const Row> rows, const PasteWindow& window) {
    const RunFigures f = runFigures(rows, window);
    if (!f.peakC) return false;
    const auto last = std::find_if(rows.rbegin(), rows.rend(), [](const Row& r) { return r.boardC.has_value(); });
    const double c = *last->boardC;
    return c < window.liquidusC && c < *f.peakC - kNearPeakC && f.value(Statistic::CoolingSlope).has_value();
}

}  // namespace process

#pragma once
#include "process/paste_window.h"
#include "process/run_figures.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <span>

namespace process {

// Where a value lies in its limits, in percent: 100 x (value - middle) / (half the range),
// at most high taken as the range 0..high. 0 in the middle, -100 and 100 at the edges;
// empty for a range without width.
std::optional<double> percentInLimit(double value, const Limit& limit);

enum class Verdict { Pass, Fail, None };

struct Judgement {
    QString paste;  // the window's name, or "None"
    std::optional<PasteWindow> window;
    RunFigures figures;
    std::array<std::optional<double>, kStatisticCount> percents;
    std::optional<double> pwi;  // the largest absolute percent
    std::optional<Statistic> furthestOut;
    Verdict verdict = Verdict::None;
    QString noVerdictReason;  // with Verdict::None: "run stopped", "no paste", "no readings"

    std::optional<double> percent(Statistic s) const { return percents[indexOf(s)]; }

    // The line for the editor: "PASS  PWI 64%  (SAC305)",
    // "FAIL  PWI 132%: time above liquidus 31 s (45-90 s)", "no verdict (run stopped)".
    QString line() const;
    // The table for the run's summary file: the paste, a line per statistic (value, window,
    // percent) and the PWI.
    QStringList tableLines() const;
};

inline constexpr const char* kRunStopped = "run stopped";
inline constexpr const char* kNoPasteChosen = "no paste";
inline constexpr const char* kNoReadings = "no readings";

// Judges a run's once-a-second rows against a paste window (none for the paste "None").
// A run that was stopped, cancelled or guarded gets its figures but no verdict.
Judgement judgeRun(std::span<const Row> rows, const std::optional<PasteWindow>& window, bool runStopped);

// A designed curve against a window: a value a second from 0 s, in Celsius, NaN where the
// curve has none. One text for each statistic at or beyond its limits, as
// "Curve: peak 190 C below 205-235 C"; empty when the curve lies inside the window.
QStringList checkCurve(std::span<const double> curveC, const PasteWindow& window);

}  // namespace process

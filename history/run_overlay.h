#pragma once
#include <QColor>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace history {

class RunDatabase;

// An earlier run for the profile chart: its readings a second apart from 0 s (NaN where
// there was none), named by date and board, in a colour of its own, with the figures the
// editor compares.
struct OverlayRun {
    QString runId;
    QString name;
    QColor colour;
    std::vector<double> boardC;
    std::array<std::optional<double>, 3> reachedS;
    std::optional<double> peakC, aboveLiquidusS;
};

// The runs of these ids, in order, each in the next of five colours; a run the database
// does not hold is left out.
std::vector<OverlayRun> overlayRuns(const RunDatabase& db, const QStringList& runIds);
const std::array<QColor, 5>& overlayColours();

}  // namespace history

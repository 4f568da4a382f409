#pragma once
#include "profiles/run_summary.h"

#include <QImage>
#include <QStringList>

namespace profiles {

// The lines of the figures box on a run's picture.
QStringList runPictureLines(const RunSummary& summary);

// The chart as it stood at the end of the run with the run's figures in a box in the plot's
// upper right corner, where the curve has cooled away by the end of a run.
QImage runPicture(const QImage& chart, const RunSummary& summary, const QStringList& more = {});

// The chart with a caption (the profile's name and points) at the right of its legend row.
QImage captionedPicture(const QImage& chart, const QString& caption);

}  // namespace profiles

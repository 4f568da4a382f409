#pragma once
#include "history/run_entry.h"

#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

namespace history {

// A run's line in the runs table, column by column, and back.
std::vector<std::pair<QString, QVariant>> runColumns(const RunEntry& run);
RunEntry runFromRecord(const QSqlRecord& record);

// The figure columns in the judgement's order of statistics.
inline constexpr std::array<const char*, kFigureCount> kFigureColumns{
    "heating_slope", "soak_s", "tal_s", "figure_peak_c", "near_peak_s", "cooling_slope", "time_to_peak_s"};

// "2026-12-10T08:22:31Z": how a time is kept, sortable as text.
QString utcText(const QDateTime& time);
QDateTime fromUtcText(const QString& text);

}  // namespace history

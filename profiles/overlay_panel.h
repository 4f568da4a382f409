#pragma once
#include "profiles/chart_overlay.h"
#include "profiles/run_summary.h"

#include <QWidget>

#include <optional>
#include <vector>

class QPushButton;
class QTableWidget;

namespace profiles {

// Beside the profile chart while earlier runs are drawn on it: their times to X1, X2, X3,
// peak and time above liquidus against the current run's, and "Clear overlay".
class OverlayPanel : public QWidget {
public:
    explicit OverlayPanel(QWidget* parent = nullptr);

    // One line per run, then "This run" when a run has been recorded; hidden without runs.
    void showRuns(const std::vector<OverlayTrace>& runs, const std::optional<RunSummary>& current, bool fahrenheit);

    QTableWidget* table = nullptr;
    QPushButton* clearButton = nullptr;
    static constexpr const char* kThisRun = "This run";
};

}  // namespace profiles

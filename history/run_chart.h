#pragma once
#include "history/run_entry.h"
#include "process/paste_window.h"
#include "ui/chart_look.h"

#include <QImage>
#include <QPointer>

#include <optional>

class QCustomPlot;
class QWidget;

namespace history {

// One run from the history as a chart: the curve it ran, its board trace and the paste's
// bands (soak band, liquidus, peak band), over the whole length of the run.
class RunChart {
public:
    explicit RunChart(QWidget* parent = nullptr);
    ~RunChart();
    RunChart(const RunChart&) = delete;
    RunChart& operator=(const RunChart&) = delete;

    void draw(const RunEntry& run, const std::optional<process::PasteWindow>& window);
    QImage picture() const;
    QCustomPlot* plot() const;

    static constexpr const char* kTraceName = "Board";
    static constexpr const char* kCurveName = "Profile";

private:
    QPointer<QCustomPlot> plot_;
    ui::ChartFrame frame_;
};

}  // namespace history

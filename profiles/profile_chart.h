#pragma once
#include "profiles/chart_overlay.h"
#include "profiles/profile_curve.h"
#include "ui/chart_look.h"
#include "ui/trace_store.h"

#include <QImage>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <optional>

class QCPLegend;
class QCustomPlot;
class QMouseEvent;
class QWidget;

namespace core {
struct SharedState;
}

namespace profiles {

// "KR-9300 Profile Characteristic curve": the profile curve through the three set points and
// the live board temperature over 300 seconds, rebuilt whole on every redraw. The chart owns
// its viewer, ChartViewer1 (750 x 310), which the editor places at the top of its window.
class ProfileChart {
public:
    static constexpr int kWidth = ui::ChartLook::kWidth;
    static constexpr int kHeight = ui::ChartLook::kHeight;
    static constexpr const char* kTitle = "KR-9300 Profile Characteristic curve";
    static constexpr const char* kCurveName = "User Graph";

    ProfileChart(core::SharedState& state, QString programFolder, QWidget* parent = nullptr);
    ~ProfileChart();
    ProfileChart(const ProfileChart&) = delete;
    ProfileChart& operator=(const ProfileChart&) = delete;

    QPointer<QCustomPlot> const ChartViewer1;

    // The curve from the shared working copies X1SetPointC..X3SetPointC for the alloy, in
    // the display unit. Does not redraw: the caller asks for that.
    void ComputeProfileCurve(Alloy alloy);
    // Rebuilds the chart at once.
    void RequestChartRedraw();
    // Stores the board temperature at TcSampleCount (a gap while the probe reads nothing),
    // rebuilds, and counts the sample.
    void AppendTcSample();
    // The sample of a second of the run: the trace is drawn against the run's seconds, so
    // a second without a fresh reading stays a gap. The chart spans 300 s; a longer run
    // starts over on an empty trace.
    void AppendTcSampleAt(int second, bool fresh);
    void DrawProfileChart();

    // Where the next live sample goes, and the live samples in the display unit. The chart's
    // own reset request empties the trace at the next build; the main window's trend has its
    // own, so that the link going offline never wipes a run's trace.
    std::int16_t TcSampleCount = 0;
    bool TcTraceResetRequested = false;
    ui::TraceStore TcTrace;

    const CurveArray& profileCurve() const { return curve_; }
    // A profile curve has been computed (it is drawn).
    bool hasCurve() const { return hasCurve_; }

    // Earlier runs drawn as thin lines behind the live trace, kept over every redraw until
    // replaced; the caller redraws.
    void setOverlay(std::vector<OverlayTrace> runs) { overlay_ = std::move(runs); }
    const std::vector<OverlayTrace>& overlay() const { return overlay_; }
    // The overlaid runs' legend as last built; none without overlay.
    QCPLegend* overlayLegend() const { return overlayLegend_; }

    // The chart as last built, as a picture; saved by the file name's extension (.jpg, .png,
    // .gif, .bmp; none: PNG). False when the file could not be written.
    QImage picture() const;
    // A paste window's temperatures marked on a run's picture, in Celsius.
    struct PasteMarks {
        double liquidusC = 0;
        double soakLowC = 0, soakHighC = 0;
        double peakLowC = 0, peakHighC = 0;
    };
    // The chart as last built with the soak band, the peak band and the liquidus drawn
    // faintly behind the traces; the chart on screen stays as it was.
    QImage picture(const PasteMarks& marks) const;
    bool saveGraph(const QString& fileName) const;

    // What the last build showed, for the editor and its tests.
    QString legendText() const { return legend_; }
    QString yTitle() const;
    double yMax() const;
    // The value under a point of the viewer, as its tool tip shows it; empty off the lines.
    QString valueTipAt(const QPointF& pos) const;

private:
    void addLegend();
    void drawTrace();
    QString legendValue();
    static constexpr const char* kReadingPrefix = "T/C Reading: ";
    void drawOverlay();
    void showValueTip(QMouseEvent* event);

    core::SharedState& state_;
    CurveArray curve_;
    bool hasCurve_ = false;
    QPixmap logo_;
    ui::ChartFrame frame_;
    QString legend_;
    std::optional<bool> builtFahrenheit_;  // the unit of the last whole build
    std::vector<OverlayTrace> overlay_;
    QCPLegend* overlayLegend_ = nullptr;  // owned by the plot's inset layout
};

}  // namespace profiles

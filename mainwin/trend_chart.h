#pragma once
#include "mainwin/trend_model.h"
#include "ui/chart_look.h"

#include <QImage>
#include <QPixmap>
#include <QString>

#include <memory>

class QCustomPlot;
class QMouseEvent;

namespace mainwin {

// The temperature trend, drawn from the sample store at every redraw: 750 x 310 with the
// alarm mark, the shading above it, the banner and the logo. The frame, axes, graphs and
// text items are made once; a redraw sets their data and texts and replots.
class TrendChart {
public:
    static constexpr int kWidth = ui::ChartLook::kWidth;
    static constexpr int kHeight = ui::ChartLook::kHeight;

    TrendChart(QCustomPlot& viewer, TrendModel& model, QString programFolder);
    ~TrendChart();

    void DrawTrendChart();
    // A warning drawn in the banner area, beneath the alarm banner when both show; empty
    // for none. Takes effect at the next redraw.
    void setNotice(const QString& text) { notice_ = text; }
    QString notice() const { return notice_; }
    // The reading in the legend is not the latest one (no samples are taken, or none come):
    // drawn on grey and marked. Takes effect at the next redraw.
    void setLegendStale(bool stale) { legendStale_ = stale; }
    static constexpr const char* kNotLive = " (not live)";
    // The last chart built, as a picture.
    QImage picture() const;

    // What the last build showed, for the window and its tests.
    QString legendText() const { return legend_; }
    QString alarmLabel() const { return alarmLabel_; }
    bool bannerShown() const { return banner_; }
    double yMax() const;
    QString yTitle() const;

    static constexpr const char* kTitle = "T/C Temperature vs. Time curve";
    static constexpr const char* kBanner = "Alarm - Latest Reading Exceeded Threshold";

private:
    struct Parts;
    // Makes the frame, the axes, the graphs and the items, once.
    Parts& parts();
    void drawLegend(Parts& p, const QString& value, const QString& unit);
    void showValueTip(QMouseEvent* event);

    QCustomPlot& plot_;
    TrendModel& model_;
    QPixmap logo_;
    ui::ChartFrame frame_;
    QString legend_;
    QString alarmLabel_;
    bool banner_ = false;
    QString notice_;
    bool legendStale_ = false;
    std::unique_ptr<Parts> parts_;
};

}  // namespace mainwin

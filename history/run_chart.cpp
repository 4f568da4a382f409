#include "history/run_chart.h"

#include <qcustomplot.h>

#include <cmath>

namespace history {

namespace {

const QColor kTraceColour(0xFF, 0xFF, 0xFF);
const QColor kCurveColour(0x33, 0x66, 0xFF);
const QColor kSoakBand(0x40, 0xA0, 0x40, 70);
const QColor kPeakBand(0xE0, 0x60, 0x30, 80);
const QColor kLiquidus(0xE0, 0xC0, 0x40);

// A band across the whole time axis from low to high.
void addBand(QCustomPlot& plot, double low, double high, const QColor& colour) {
    auto* band = new QCPItemRect(&plot);
    band->setLayer("grid");
    band->topLeft->setTypeX(QCPItemPosition::ptAxisRectRatio);
    band->bottomRight->setTypeX(QCPItemPosition::ptAxisRectRatio);
    band->topLeft->setCoords(0, high);
    band->bottomRight->setCoords(1, low);
    band->setPen(Qt::NoPen);
    band->setBrush(colour);
}

}  // namespace

RunChart::RunChart(QWidget* parent) : plot_(new QCustomPlot(parent)) {
    plot_->setObjectName("runChart");
    plot_->setFixedSize(ui::ChartLook::kWidth, ui::ChartLook::kHeight);
    plot_->setViewport(QRect(0, 0, ui::ChartLook::kWidth, ui::ChartLook::kHeight));
}

RunChart::~RunChart() { delete plot_.data(); }

QCustomPlot* RunChart::plot() const { return plot_.data(); }

void RunChart::draw(const RunEntry& run, const std::optional<process::PasteWindow>& window) {
    QCustomPlot& plot = *plot_;
    ui::ChartLook look;
    look.plotBackground = Qt::black;
    look.grid = QColor(0x55, 0x55, 0x55);
    look.xMinorTicks = false;
    const QString title = run.profileName + ", " + run.started.toString("yyyy-MM-dd HH:mm") +
                          (run.board.isEmpty() ? QString() : ", board " + run.board);
    ui::buildChartBase(plot, frame_, look, title, "Temperature ( C)", 300);

    QVector<double> xs, board, curve;
    double last = 0;
    for (const RunSample& s : run.rows) {
        if (!s.tick()) continue;
        xs << s.elapsedS;
        board << (s.boardC ? *s.boardC : qQNaN());
        curve << (s.profileC ? *s.profileC : qQNaN());
        last = s.elapsedS;
    }
    // The time axis covers the run, in whole minutes, at least the editor's 300 s.
    plot.xAxis->setRange(0, std::max(300.0, std::ceil(last / 60.0) * 60.0));

    if (window) {
        addBand(plot, window->soakLowC, window->soakHighC, kSoakBand);
        addBand(plot, window->peakLowC, window->peakHighC, kPeakBand);
        auto* liquidus = new QCPItemStraightLine(&plot);
        liquidus->setLayer("grid");
        liquidus->point1->setCoords(0, window->liquidusC);
        liquidus->point2->setCoords(1, window->liquidusC);
        liquidus->setPen(QPen(kLiquidus, 1, Qt::DashLine));
    }
    QCPGraph* trace = plot.addGraph();
    trace->setData(xs, board, true);
    trace->setPen(QPen(kTraceColour, 2));
    trace->setName(kTraceName);
    QCPGraph* profile = plot.addGraph();
    profile->setData(xs, curve, true);
    profile->setPen(QPen(kCurveColour, 2));
    profile->setName(kCurveName);

    plot.legend->setVisible(true);
    plot.legend->setFont(ui::boldFont(8));
    plot.legend->setBrush(QColor(0, 0, 0, 160));
    plot.legend->setTextColor(Qt::white);
    plot.legend->setBorderPen(Qt::NoPen);
    plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    plot.replot();
}

QImage RunChart::picture() const {
    plot_->replot(QCustomPlot::rpImmediateRefresh);
    return plot_->toPixmap(ui::ChartLook::kWidth, ui::ChartLook::kHeight).toImage();
}

}  // namespace history

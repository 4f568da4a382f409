#include "profiles/profile_chart.h"

#include "core/shared_state.h"
#include "platform/picture_file.h"
#include "platform/program_folder.h"
#include "profiles/value_legend_item.h"

#include <QDir>
#include <QToolTip>
#include <qcustomplot.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace profiles {

namespace {

const QColor kTraceColour(0xFF, 0xFF, 0xFF);
const QColor kCurveColour(0x00, 0x00, 0xFF);
const QColor kPink(0xFF, 0xCC, 0xCC);
const QColor kGrid(0x55, 0x55, 0x55);

// The legend sits above the plot area, at (55, 33) of the chart, 520 pixels wide.
constexpr double kLegendLeft = 55, kLegendTop = 33, kLegendWidth = 520, kLegendHeight = 22;
constexpr int kLegendColumns = 3;
constexpr double kTipReach = 6;  // pixels from a line that still show its value
constexpr int kOverlaySpan = 300;  // seconds on the time axis

QVector<double> seconds(int n) {
    QVector<double> xs(n);
    for (int i = 0; i < n; ++i) xs[i] = i;
    return xs;
}

template <std::size_t N>
QVector<double> values(const std::array<double, N>& a) {
    return QVector<double>(a.begin(), a.end());
}

// The value as a tool tip shows it: at most two decimals, no trailing zeros.
QString tipText(double v) { return QString::number(std::round(v * 100) / 100, 'g', 10); }

}  // namespace

ProfileChart::ProfileChart(core::SharedState& state, QString programFolder, QWidget* parent)
    : ChartViewer1(new QCustomPlot(parent)),
      TcTrace(TcSampleCount, TcTraceResetRequested),
      state_(state),
      logo_(platform::picturePath(programFolder, "LogoSB.png")) {
    curve_.fill(CurveNoValue);
    ChartViewer1->setObjectName("ChartViewer1");
    ChartViewer1->setFixedSize(kWidth, kHeight);
    ChartViewer1->setViewport(QRect(0, 0, kWidth, kHeight));  // laid out right before it is first shown
    ChartViewer1->setMouseTracking(true);
    QObject::connect(ChartViewer1, &QCustomPlot::mouseMove, ChartViewer1,
                     [this](QMouseEvent* e) { showValueTip(e); });
}

ProfileChart::~ProfileChart() { delete ChartViewer1.data(); }

void ProfileChart::ComputeProfileCurve(Alloy alloy) {
    curve_ = profiles::ComputeProfileCurve(state_.X1SetPointC, state_.X2SetPointC, state_.X3SetPointC, alloy,
                                           state_.Settings.TempUnit != 0);
    hasCurve_ = true;
}

void ProfileChart::RequestChartRedraw() { DrawProfileChart(); }

void ProfileChart::AppendTcSample() {
    const double reading = state_.PcbTemperatureValid
                               ? displayTemperature(state_.PcbTemperature, state_.Settings.TempUnit != 0)
                               : ui::TraceStore::kNoValue;
    TcTrace.set(TcSampleCount, reading);
    drawTrace();
    if (TcSampleCount < std::numeric_limits<std::int16_t>::max()) ++TcSampleCount;
}

void ProfileChart::AppendTcSampleAt(int second, bool fresh) {
    constexpr int kSpan = 300;
    second = std::max(0, second);
    const int index = second % kSpan;
    if (second >= kSpan && index < TcSampleCount) TcTrace.clear();
    TcSampleCount = std::int16_t(index);
    const double reading = state_.PcbTemperatureValid && fresh
                               ? displayTemperature(state_.PcbTemperature, state_.Settings.TempUnit != 0)
                               : ui::TraceStore::kNoValue;
    TcTrace.set(TcSampleCount, reading);
    drawTrace();
    ++TcSampleCount;
}

void ProfileChart::DrawProfileChart() {
    QCustomPlot& plot = *ChartViewer1;
    const bool fahrenheit = state_.Settings.TempUnit != 0;
    const QString unit = fahrenheit ? " F" : " C";

    ui::ChartLook look;
    look.plotBackground = Qt::black;
    look.grid = kGrid;
    look.xMinorTicks = false;
    ui::buildChartBase(plot, frame_, look, kTitle, "Temperature (" + unit + ")", fahrenheit ? 572 : 300);

    TcTrace.takeReset();

    const QVector<double> xs = seconds(ui::TraceStore::kSize);
    QCPGraph* trace = plot.addGraph();
    trace->setData(xs, values(TcTrace.samples()), true);
    trace->setPen(QPen(kTraceColour, 3));
    QCPGraph* curve = plot.addGraph();
    curve->setData(xs, values(curve_), true);
    curve->setPen(QPen(kCurveColour, 3));
    curve->setName(kCurveName);

    drawOverlay();
    addLegend();
    ui::addLogo(plot, logo_, 698, 253);
    builtFahrenheit_ = fahrenheit;
    plot.replot();
}

// A new sample changes only the live trace and the reading in its legend entry: the rest
// of the last build stays. Whatever changes the rest (the curve, the overlay, a reset
// that empties the trace) redraws the whole chart.
void ProfileChart::drawTrace() {
    QCustomPlot& plot = *ChartViewer1;
    const bool fahrenheit = state_.Settings.TempUnit != 0;
    auto* entry = plot.legend->itemCount() > 0 ? qobject_cast<ValueLegendItem*>(plot.legend->item(0)) : nullptr;
    if (TcTraceResetRequested || !builtFahrenheit_ || *builtFahrenheit_ != fahrenheit || plot.graphCount() < 2 ||
        !entry || entry->plottable() != plot.graph(0))
        return DrawProfileChart();
    QCPGraphDataContainer& points = *plot.graph(0)->data();
    if (points.size() != ui::TraceStore::kSize) return DrawProfileChart();
    auto point = points.begin();
    for (double v : TcTrace.samples()) (point++)->value = v;
    const QString value = legendValue();
    plot.graph(0)->setName(legend_);
    entry->setHighlight(int(std::strlen(kReadingPrefix)), int(value.size()), kPink);
    plot.replot();
}

// The legend's reading: the latest sample in whole degrees, "--" for none; the legend
// text follows it. Asks for a reset once the trace is full.
QString ProfileChart::legendValue() {
    double latest = TcTrace.at(TcSampleCount);
    if (TcSampleCount > 299) {
        latest = TcTrace.at(ui::TraceStore::kSize - 1);
        TcTrace.requestReset();
    }
    const QString value = std::isnan(latest) ? QString("--") : QString::number(std::lround(latest));
    legend_ = kReadingPrefix + value + " " + (state_.Settings.TempUnit != 0 ? "F" : "C");
    return value;
}

// "T/C Reading: " with the latest sample, whole degrees on pink, then the unit; then
// "User Graph". Three columns, filled left to right.
void ProfileChart::addLegend() {
    QCustomPlot& plot = *ChartViewer1;
    const QString prefix = kReadingPrefix;
    const QString value = legendValue();

    QCPLegend* legend = plot.legend;
    legend->clearItems();
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setWrap(kLegendColumns);
    legend->setFont(ui::boldFont(9));
    legend->setBrush(Qt::NoBrush);
    legend->setBorderPen(Qt::NoPen);
    legend->setMargins(QMargins(0, 0, 0, 0));
    legend->setIconSize(24, 12);

    QCPGraph* trace = plot.graph(0);
    trace->setName(legend_);
    auto* traceItem = new ValueLegendItem(legend, trace);
    traceItem->setHighlight(prefix.size(), value.size(), kPink);
    legend->addItem(traceItem);
    legend->addItem(new ValueLegendItem(legend, plot.graph(1)));
    legend->expandTo(1, kLegendColumns);  // three equal columns, even with two entries

    QCPLayoutInset* inset = plot.axisRect()->insetLayout();
    inset->setMargins(QMargins(0, 0, 0, 0));
    inset->setInsetPlacement(0, QCPLayoutInset::ipFree);
    inset->setInsetRect(0, QRectF((kLegendLeft - ui::ChartLook::kPlotLeft) / ui::ChartLook::kPlotWidth,
                                  (kLegendTop - ui::ChartLook::kPlotTop) / ui::ChartLook::kPlotHeight,
                                  kLegendWidth / ui::ChartLook::kPlotWidth,
                                  kLegendHeight / ui::ChartLook::kPlotHeight));
    legend->setVisible(true);
}

// Each earlier run a thin line in its colour, on the grid's layer: behind the live trace and
// the curve, which keep the first two graphs.
void ProfileChart::drawOverlay() {
    QCustomPlot& plot = *ChartViewer1;
    const bool fahrenheit = state_.Settings.TempUnit != 0;
    for (const OverlayTrace& run : overlay_) {
        QVector<double> xs, ys;
        const int n = std::min<int>(int(run.boardC.size()), kOverlaySpan + 1);  // what the time axis shows
        xs.reserve(n);
        ys.reserve(n);
        for (int i = 0; i < n; ++i) {
            const double c = run.boardC[std::size_t(i)];
            xs << i;
            ys << (std::isnan(c) ? c : displayTemperature(std::int16_t(std::lround(c)), fahrenheit));
        }
        QCPGraph* g = plot.addGraph();
        g->setLayer("grid");
        g->setData(xs, ys, true);
        g->setPen(QPen(run.colour, 1));
        g->setName(run.name);
    }
    // Their names in a legend of their own in the plot's upper right corner, white on dark,
    // so the designed legend above the plot stays as it is.
    QCPLayoutInset* inset = plot.axisRect()->insetLayout();
    if (overlayLegend_) inset->remove(overlayLegend_);
    overlayLegend_ = nullptr;
    if (overlay_.empty()) return;
    overlayLegend_ = new QCPLegend;
    inset->addElement(overlayLegend_, Qt::AlignTop | Qt::AlignRight);
    overlayLegend_->setLayer("legend");
    overlayLegend_->setFont(ui::boldFont(8));
    overlayLegend_->setTextColor(Qt::white);
    overlayLegend_->setBrush(QColor(0, 0, 0, 190));
    overlayLegend_->setBorderPen(QPen(kGrid));
    overlayLegend_->setIconSize(18, 8);
    for (int i = 2; i < plot.graphCount(); ++i)
        overlayLegend_->addItem(new QCPPlottableLegendItem(overlayLegend_, plot.graph(i)));
}

QString ProfileChart::yTitle() const { return ChartViewer1->yAxis->label(); }
double ProfileChart::yMax() const { return ChartViewer1->yAxis->range().upper; }

QImage ProfileChart::picture() const {
    ChartViewer1->replot(QCustomPlot::rpImmediateRefresh);
    return ChartViewer1->toPixmap(kWidth, kHeight).toImage();
}

QImage ProfileChart::picture(const PasteMarks& marks) const {
    QCustomPlot& plot = *ChartViewer1;
    const bool fahrenheit = state_.Settings.TempUnit != 0;
    auto shown = [fahrenheit](double c) { return fahrenheit ? c * 9 / 5 + 32 : c; };
    QList<QCPAbstractItem*> added;
    // On the grid's layer: above the black ground, below the traces.
    auto band = [&](double lowC, double highC, const QColor& colour, const QString& name) {
        auto* rect = new QCPItemRect(&plot);
        rect->setLayer("grid");
        rect->topLeft->setTypeX(QCPItemPosition::ptAxisRectRatio);
        rect->bottomRight->setTypeX(QCPItemPosition::ptAxisRectRatio);
        rect->topLeft->setCoords(0, shown(highC));
        rect->bottomRight->setCoords(1, shown(lowC));
        QColor fill = colour;
        fill.setAlpha(55);
        rect->setBrush(fill);
        rect->setPen(Qt::NoPen);
        auto* label = new QCPItemText(&plot);
        label->setLayer("grid");
        label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
        label->position->setCoords(0.005, shown(highC));
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFont(ui::boldFont(7));
        label->setColor(colour);
        label->setText(name);
        label->setClipToAxisRect(true);
        added << rect << label;
    };
    band(marks.soakLowC, marks.soakHighC, QColor(0x4F, 0x9D, 0xFF), "soak");
    band(marks.peakLowC, marks.peakHighC, QColor(0xFF, 0x7A, 0x3D), "peak");
    auto* liquidus = new QCPItemStraightLine(&plot);
    liquidus->setLayer("grid");
    liquidus->point1->setCoords(0, shown(marks.liquidusC));
    liquidus->point2->setCoords(1, shown(marks.liquidusC));
    liquidus->setPen(QPen(QColor(0xE0, 0xC0, 0x40, 170), 1, Qt::DashLine));
    auto* liquidusLabel = new QCPItemText(&plot);
    liquidusLabel->setLayer("grid");
    liquidusLabel->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    liquidusLabel->position->setCoords(0.995, shown(marks.liquidusC));
    liquidusLabel->setPositionAlignment(Qt::AlignRight | Qt::AlignBottom);
    liquidusLabel->setFont(ui::boldFont(7));
    liquidusLabel->setColor(QColor(0xE0, 0xC0, 0x40));
    liquidusLabel->setText(QString("liquidus %1 %2").arg(std::lround(shown(marks.liquidusC))).arg(fahrenheit ? "F" : "C"));
    added << liquidus << liquidusLabel;
    const QImage out = picture();
    for (QCPAbstractItem* item : added) plot.removeItem(item);
    plot.replot(QCustomPlot::rpQueuedReplot);
    return out;
}

bool ProfileChart::saveGraph(const QString& fileName) const { return platform::savePicture(picture(), fileName); }

QString ProfileChart::valueTipAt(const QPointF& pos) const {
    double best = kTipReach;
    QString tip;
    for (int g = 0; g < ChartViewer1->graphCount(); ++g) {
        QCPGraph* line = ChartViewer1->graph(g);
        QVariant details;
        const double distance = line->selectTest(pos, false, &details);
        if (distance < 0 || distance > best) continue;
        const QCPDataSelection sel = details.value<QCPDataSelection>();
        if (sel.isEmpty()) continue;
        const double v = line->data()->at(sel.dataRange().begin())->value;
        if (std::isnan(v)) continue;
        best = distance;
        tip = tipText(v);
    }
    return tip;
}

void ProfileChart::showValueTip(QMouseEvent* event) {
    const QString tip = valueTipAt(event->position());
    if (tip.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(event->globalPosition().toPoint(), tip, ChartViewer1);
}

}  // namespace profiles

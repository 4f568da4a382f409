#include "mainwin/trend_chart.h"

#include "mainwin/chart_fonts.h"

#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QToolTip>
#include <qcustomplot.h>

#include <cmath>

namespace mainwin {

namespace {

const QColor kChartBackground(0xF4, 0xF4, 0xF4);
const QColor kFrameOuter(0xD2, 0xD2, 0xD2);
const QColor kGrid(0xCC, 0xCC, 0xCC);
const QColor kTitleBox(0xDD, 0xDD, 0xDD);
const QColor kLine(0x00, 0x00, 0xFF);
const QColor kAlarm(0xFF, 0x00, 0x00);
const QColor kPink(0xFF, 0xCC, 0xCC);
const QColor kBannerBack(0xDD, 0x00, 0x00);
const QColor kFill(0xFF, 0x88, 0x88, 0x80);

// Plot area (55, 62), 650 x 200, inside the 750 x 310 chart.
const QMargins kPlotMargins(55, 62, TrendChart::kWidth - 55 - 650, TrendChart::kHeight - 62 - 200);

QPixmap framePixmap(int w, int h) {
    static QPixmap cached;
    if (cached.size() == QSize(w, h)) return cached;
    QPixmap pm(w, h);
    pm.fill(kFrameOuter);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kChartBackground);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 10, 10);
    p.end();
    cached = pm;
    return pm;
}

QCPItemText* absoluteText(QCustomPlot& plot, double x, double y, const QString& text, const QFont& font,
                          Qt::Alignment align) {
    auto* t = new QCPItemText(&plot);
    t->setClipToAxisRect(false);
    t->position->setType(QCPItemPosition::ptAbsolute);
    t->position->setCoords(x, y);
    t->setPositionAlignment(align);
    t->setFont(font);
    t->setText(text);
    return t;
}

// A glassy grey box behind the title, the width of the chart.
void addTitle(QCustomPlot& plot) {
    auto* box = new QCPItemRect(&plot);
    box->setClipToAxisRect(false);
    box->topLeft->setType(QCPItemPosition::ptAbsolute);
    box->bottomRight->setType(QCPItemPosition::ptAbsolute);
    box->topLeft->setCoords(3, 3);
    box->bottomRight->setCoords(TrendChart::kWidth - 3, 27);
    QLinearGradient glass(0, 3, 0, 27);
    glass.setColorAt(0, kTitleBox.lighter(125));
    glass.setColorAt(0.5, kTitleBox);
    glass.setColorAt(1, kTitleBox.darker(112));
    box->setBrush(glass);
    box->setPen(Qt::NoPen);
    absoluteText(plot, TrendChart::kWidth / 2.0, 15, TrendChart::kTitle, titleFont(15), Qt::AlignCenter);
}

}  // namespace

TrendChart::TrendChart(QCustomPlot& viewer, TrendModel& model, QString programFolder)
    : plot_(viewer), model_(model), programFolder_(std::move(programFolder)) {
    plot_.setFixedSize(kWidth, kHeight);
    plot_.setMouseTracking(true);
    QObject::connect(&plot_, &QCustomPlot::mouseMove, &plot_, [this](QMouseEvent* e) { showValueTip(e); });
}

double TrendChart::yMax() const { return plot_.yAxis->range().upper; }
QString TrendChart::yTitle() const { return plot_.yAxis->label(); }

void TrendChart::DrawTrendChart() {
    const TrendModel::Frame f = model_.prepareFrame();
    const QString unit = f.fahrenheit ? " F" : " C";

    plot_.clearItems();
    plot_.clearGraphs();
    plot_.setBackground(framePixmap(kWidth, kHeight), false);
    QCPAxisRect* rect = plot_.axisRect();
    rect->setAutoMargins(QCP::msNone);
    rect->setMargins(kPlotMargins);
    rect->setBackground(Qt::white);
    plot_.legend->setVisible(false);

    for (QCPAxis* axis : {plot_.xAxis, plot_.yAxis}) {
        axis->setBasePen(QPen(Qt::black, 2));
        axis->setTickPen(QPen(Qt::black, 1));
        axis->setSubTickPen(QPen(Qt::black, 1));
        axis->grid()->setPen(QPen(kGrid, 1));
        axis->grid()->setSubGridVisible(false);
        axis->grid()->setZeroLinePen(Qt::NoPen);
        axis->setLabelFont(boldFont(10));
        axis->setTickLabelFont(QFont(boldFont(8).family(), 8));
    }
    plot_.yAxis->setLabel("Temperature (" + unit + ")");
    plot_.xAxis->setLabel("Time (Sec)");

    QSharedPointer<QCPAxisTickerFixed> yTicks(new QCPAxisTickerFixed);
    yTicks->setTickStep(50);
    yTicks->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    plot_.yAxis->setTicker(yTicks);
    plot_.yAxis->setSubTicks(false);
    plot_.yAxis->setRange(0, f.fahrenheit ? 572 : 300);

    QSharedPointer<QCPAxisTickerFixed> xTicks(new QCPAxisTickerFixed);
    xTicks->setTickStep(30);
    xTicks->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    plot_.xAxis->setTicker(xTicks);
    plot_.xAxis->setSubTicks(true);
    plot_.xAxis->setRange(0, 300);

    addTitle(plot_);

    // The data line, then the shading: a helper graph that only has the parts at or
    // above the alarm value, filled down to a flat alarm-level graph.
    const auto& samples = model_.samples();
    QVector<double> xs(TrendModel::kSize), ys(TrendModel::kSize);
    for (int i = 0; i < TrendModel::kSize; ++i) {
        xs[i] = i;
        ys[i] = samples[std::size_t(i)];
    }
    QVector<double> fx, fy;
    for (int i = 0; i < TrendModel::kSize; ++i) {
        const double v = ys[i];
        if (i > 0 && !std::isnan(v) && !std::isnan(ys[i - 1]) && ((ys[i - 1] < f.alarm) != (v < f.alarm))) {
            const double t = (f.alarm - ys[i - 1]) / (v - ys[i - 1]);
            fx << i - 1 + t;
            fy << f.alarm;
        }
        fx << i;
        fy << ((!std::isnan(v) && v >= f.alarm) ? v : qQNaN());
    }
    QCPGraph* level = plot_.addGraph();
    level->setData({0, 399}, {f.alarm, f.alarm}, true);
    level->setPen(Qt::NoPen);
    QCPGraph* above = plot_.addGraph();
    above->setData(fx, fy, true);
    above->setPen(Qt::NoPen);
    above->setBrush(kFill);
    above->setChannelFillGraph(level);

    QCPGraph* line = plot_.addGraph();
    line->setData(xs, ys, true);
    line->setPen(QPen(kLine, 1));
    line->setName("T/C Reading");

    // Legend at (55, 33): a line sample, the name, the reading on pink, the unit.
    const QFont legendFont = boldFont(9);
    const QFontMetrics fm(legendFont);
    auto* sample = new QCPItemLine(&plot_);
    sample->setClipToAxisRect(false);
    sample->start->setType(QCPItemPosition::ptAbsolute);
    sample->end->setType(QCPItemPosition::ptAbsolute);
    sample->start->setCoords(58, 41);
    sample->end->setCoords(74, 41);
    sample->setPen(QPen(kLine, 2));
    const QString name = "T/C Reading: ";
    const QString value = std::isnan(f.latest) ? QString() : QString::number(std::lround(f.latest));
    double x = 80;
    absoluteText(plot_, x, 41, name, legendFont, Qt::AlignLeft | Qt::AlignVCenter);
    x += fm.horizontalAdvance(name);
    auto* valueBox = absoluteText(plot_, x, 41, value, legendFont, Qt::AlignLeft | Qt::AlignVCenter);
    valueBox->setBrush(kPink);
    valueBox->setPadding(QMargins(2, 0, 2, 0));
    x += fm.horizontalAdvance(value) + 4;
    absoluteText(plot_, x, 41, " " + unit.trimmed(), legendFont, Qt::AlignLeft | Qt::AlignVCenter);
    legend_ = name + value + " " + unit.trimmed();

    // The alarm mark on the Y axis.
    auto* mark = new QCPItemStraightLine(&plot_);
    mark->point1->setCoords(0, f.alarm);
    mark->point2->setCoords(300, f.alarm);
    mark->setPen(QPen(kAlarm, 1));
    alarmLabel_ = "Alarm = " + QString::number(std::lround(f.alarm));
    auto* label = new QCPItemText(&plot_);
    label->setClipToAxisRect(false);
    label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    label->position->setTypeY(QCPItemPosition::ptPlotCoords);
    label->position->setCoords(0.004, f.alarm);
    label->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
    label->setFont(QFont(boldFont(8).family(), 8));
    label->setColor(kAlarm);
    label->setBrush(kPink);
    label->setPadding(QMargins(2, 0, 2, 0));
    label->setText(alarmLabel_);

    banner_ = f.alarmExceeded;
    if (banner_) {
        auto* b = absoluteText(plot_, 705, 62, kBanner, boldItalicFont(10), Qt::AlignRight | Qt::AlignTop);
        b->setColor(Qt::white);
        b->setBrush(kBannerBack);
        b->setPadding(QMargins(4, 2, 4, 2));
    }

    const QPixmap logo(QDir(programFolder_).filePath("LogoS.png"));
    if (!logo.isNull()) {
        auto* pic = new QCPItemPixmap(&plot_);
        pic->setClipToAxisRect(false);
        pic->setScaled(false);
        pic->topLeft->setType(QCPItemPosition::ptAbsolute);
        pic->topLeft->setCoords(698 - logo.width(), 253 - logo.height());
        pic->setPixmap(logo);
    }
    plot_.replot();
}

QImage TrendChart::picture() const {
    auto& plot = const_cast<QCustomPlot&>(plot_);
    plot.replot(QCustomPlot::rpImmediateRefresh);
    return plot.toPixmap(kWidth, kHeight).toImage();
}

void TrendChart::showValueTip(QMouseEvent* event) {
    if (plot_.graphCount() == 0) return;
    QCPGraph* line = plot_.graph(plot_.graphCount() - 1);
    const QPointF pos = event->position();
    QVariant details;
    if (line->selectTest(pos, false, &details) < 0 || line->selectTest(pos, false, &details) > 6) {
        QToolTip::hideText();
        return;
    }
    const QCPDataSelection sel = details.value<QCPDataSelection>();
    if (sel.isEmpty()) return;
    const auto it = line->data()->at(sel.dataRange().begin());
    QToolTip::showText(event->globalPosition().toPoint(), QString::number(it->value, 'f', 0), &plot_);
}

}  // namespace mainwin

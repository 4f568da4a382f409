#include "mainwin/trend_chart.h"

#include "platform/program_folder.h"
#include "ui/chart_look.h"

#include <QFontMetrics>
#include <QPainter>
#include <QToolTip>
#include <qcustomplot.h>

#include <cmath>

namespace mainwin {

namespace {

const QColor kLine(0x00, 0x00, 0xFF);
const QColor kAlarm(0xFF, 0x00, 0x00);
const QColor kPink(0xFF, 0xCC, 0xCC);
const QColor kBannerBack(0xDD, 0x00, 0x00);
const QColor kFill(0xFF, 0x88, 0x88, 0x80);
const QColor kNoticeBack(0xFF, 0xC0, 0x00);
constexpr double kBannerRight = 705;
constexpr double kBannerTop = 62;

}  // namespace

TrendChart::TrendChart(QCustomPlot& viewer, TrendModel& model, QString programFolder)
    : plot_(viewer), model_(model), logo_(platform::picturePath(programFolder, "LogoS.png")) {
    plot_.setFixedSize(kWidth, kHeight);
    plot_.setMouseTracking(true);
    QObject::connect(&plot_, &QCustomPlot::mouseMove, &plot_, [this](QMouseEvent* e) { showValueTip(e); });
}

double TrendChart::yMax() const { return plot_.yAxis->range().upper; }
QString TrendChart::yTitle() const { return plot_.yAxis->label(); }

void TrendChart::DrawTrendChart() {
    const TrendModel::Frame f = model_.prepareFrame();
    const QString unit = f.fahrenheit ? " F" : " C";

    ui::buildChartBase(plot_, frame_, ui::ChartLook{}, kTitle, "Temperature (" + unit + ")",
                       f.fahrenheit ? 572 : 300);

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
    const QFont legendFont = ui::boldFont(9);
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
    ui::absoluteText(plot_, x, 41, name, legendFont, Qt::AlignLeft | Qt::AlignVCenter);
    x += fm.horizontalAdvance(name);
    auto* valueBox = ui::absoluteText(plot_, x, 41, value, legendFont, Qt::AlignLeft | Qt::AlignVCenter);
    valueBox->setBrush(legendStale_ ? QColor(0xD0, 0xD0, 0xD0) : kPink);
    valueBox->setPadding(QMargins(2, 0, 2, 0));
    x += fm.horizontalAdvance(value) + 4;
    const bool stale = legendStale_;
    const QString tail = " " + unit.trimmed() + (stale ? kNotLive : "");
    auto* tailBox = ui::absoluteText(plot_, x, 41, tail, legendFont, Qt::AlignLeft | Qt::AlignVCenter);
    if (stale) {
        valueBox->setColor(QColor(0x70, 0x70, 0x70));
        tailBox->setColor(QColor(0x70, 0x70, 0x70));
    }
    legend_ = name + value + tail;

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
    label->setFont(QFont(ui::boldFont(8).family(), 8));
    label->setColor(kAlarm);
    label->setBrush(kPink);
    label->setPadding(QMargins(2, 0, 2, 0));
    label->setText(alarmLabel_);

    banner_ = f.alarmExceeded;
    double noticeTop = kBannerTop;
    if (banner_) {
        const QFont font = ui::boldItalicFont(10);
        auto* b = ui::absoluteText(plot_, kBannerRight, kBannerTop, kBanner, font, Qt::AlignRight | Qt::AlignTop);
        b->setColor(Qt::white);
        b->setBrush(kBannerBack);
        b->setPadding(QMargins(4, 2, 4, 2));
        noticeTop += QFontMetrics(font).height() + 4 + 3;
    }
    if (!notice_.isEmpty()) {
        auto* n = ui::absoluteText(plot_, kBannerRight, noticeTop, notice_, ui::boldFont(10), Qt::AlignRight | Qt::AlignTop);
        n->setColor(Qt::black);
        n->setBrush(kNoticeBack);
        n->setPen(QPen(Qt::black, 1));
        n->setPadding(QMargins(4, 2, 4, 2));
    }

    ui::addLogo(plot_, logo_, 698, 253);
    // Drawn at once when shown; before its first showing the resize that comes with it draws it.
    if (!plot_.testAttribute(Qt::WA_PendingResizeEvent)) plot_.replot();
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

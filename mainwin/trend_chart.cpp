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

TrendChart::~TrendChart() = default;

double TrendChart::yMax() const { return plot_.yAxis->range().upper; }
QString TrendChart::yTitle() const { return plot_.yAxis->label(); }

struct TrendChart::Parts {
    QCPGraph* level = nullptr;  // flat at the alarm value, what the shading fills down to
    QCPGraph* above = nullptr;  // the parts of the curve at or above the alarm value
    QCPGraph* line = nullptr;
    QCPItemText* name = nullptr;
    QCPItemText* value = nullptr;
    QCPItemText* tail = nullptr;
    QCPItemStraightLine* mark = nullptr;
    QCPItemText* alarmLabel = nullptr;
    QCPItemText* banner = nullptr;
    QCPItemText* notice = nullptr;
    QFontMetrics legendMetrics{ui::boldFont(9)};
    int bannerHeight = 0;
    QCPLayer* live = nullptr;  // what a new sample changes, redrawn on its own
    bool fahrenheit = false;
    double alarm = qQNaN();
    bool fullReplot = true;  // the scale or the alarm mark changed: every layer is redrawn
};

TrendChart::Parts& TrendChart::parts() {
    if (parts_) return *parts_;
    parts_ = std::make_unique<Parts>();
    Parts& p = *parts_;
    ui::buildChartBase(plot_, frame_, ui::ChartLook{}, kTitle, "Temperature ( C)", 300);
    // The curve, its shading and the texts that follow the readings get a buffer of their
    // own above the plot's ground, so that a new sample redraws only them.
    plot_.addLayer("live", plot_.layer("main"), QCustomPlot::limAbove);
    p.live = plot_.layer("live");
    p.live->setMode(QCPLayer::lmBuffered);
    plot_.addLayer("marks", p.live, QCustomPlot::limAbove);  // the alarm mark stays over the curve

    // The data line, then the shading: a helper graph that only has the parts at or
    // above the alarm value, filled down to a flat alarm-level graph.
    p.level = plot_.addGraph();
    p.level->setPen(Qt::NoPen);
    p.above = plot_.addGraph();
    p.above->setPen(Qt::NoPen);
    p.above->setBrush(kFill);
    p.above->setChannelFillGraph(p.level);
    p.line = plot_.addGraph();
    QVector<double> xs(TrendModel::kSize), none(TrendModel::kSize, qQNaN());
    for (int i = 0; i < TrendModel::kSize; ++i) xs[i] = i;
    p.line->setData(xs, none, true);
    p.line->setPen(QPen(kLine, 1));
    p.line->setName("T/C Reading");
    for (QCPGraph* g : {p.level, p.above, p.line}) g->setLayer(p.live);

    // Legend at (55, 33): a line sample, the name, the reading on pink, the unit.
    const QFont legendFont = ui::boldFont(9);
    auto* sample = new QCPItemLine(&plot_);
    sample->setClipToAxisRect(false);
    sample->start->setType(QCPItemPosition::ptAbsolute);
    sample->end->setType(QCPItemPosition::ptAbsolute);
    sample->start->setCoords(58, 41);
    sample->end->setCoords(74, 41);
    sample->setPen(QPen(kLine, 2));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    p.name = ui::absoluteText(plot_, 80, 41, "T/C Reading: ", legendFont, left);
    p.value = ui::absoluteText(plot_, 80, 41, QString(), legendFont, left);
    p.value->setPadding(QMargins(2, 0, 2, 0));
    p.tail = ui::absoluteText(plot_, 80, 41, QString(), legendFont, left);
    p.value->setLayer(p.live);
    p.tail->setLayer(p.live);

    // The alarm mark on the Y axis.
    p.mark = new QCPItemStraightLine(&plot_);
    p.mark->setPen(QPen(kAlarm, 1));
    p.alarmLabel = new QCPItemText(&plot_);
    p.alarmLabel->setClipToAxisRect(false);
    p.alarmLabel->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    p.alarmLabel->position->setTypeY(QCPItemPosition::ptPlotCoords);
    p.alarmLabel->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
    p.alarmLabel->setFont(QFont(ui::boldFont(8).family(), 8));
    p.alarmLabel->setColor(kAlarm);
    p.alarmLabel->setBrush(kPink);
    p.alarmLabel->setPadding(QMargins(2, 0, 2, 0));
    p.mark->setLayer("marks");
    p.alarmLabel->setLayer("marks");

    const QFont bannerFont = ui::boldItalicFont(10);
    p.banner = ui::absoluteText(plot_, kBannerRight, kBannerTop, kBanner, bannerFont, Qt::AlignRight | Qt::AlignTop);
    p.banner->setColor(Qt::white);
    p.banner->setBrush(kBannerBack);
    p.banner->setPadding(QMargins(4, 2, 4, 2));
    p.bannerHeight = QFontMetrics(bannerFont).height() + 4 + 3;
    p.notice = ui::absoluteText(plot_, kBannerRight, kBannerTop, QString(), ui::boldFont(10), Qt::AlignRight | Qt::AlignTop);
    p.notice->setColor(Qt::black);
    p.notice->setBrush(kNoticeBack);
    p.notice->setPen(QPen(Qt::black, 1));
    p.notice->setPadding(QMargins(4, 2, 4, 2));
    p.banner->setLayer(p.live);
    p.notice->setLayer(p.live);

    ui::addLogo(plot_, logo_, 698, 253);
    return p;
}

void TrendChart::drawLegend(Parts& p, const QString& value, const QString& unit) {
    const QString tail = " " + unit.trimmed() + (legendStale_ ? kNotLive : "");
    const QColor text = legendStale_ ? QColor(0x70, 0x70, 0x70) : QColor(Qt::black);
    double x = 80 + p.legendMetrics.horizontalAdvance(p.name->text());
    p.value->position->setCoords(x, 41);
    p.value->setText(value);
    p.value->setBrush(legendStale_ ? QColor(0xD0, 0xD0, 0xD0) : kPink);
    p.value->setColor(text);
    x += p.legendMetrics.horizontalAdvance(value) + 4;
    p.tail->position->setCoords(x, 41);
    p.tail->setText(tail);
    p.tail->setColor(text);
    legend_ = p.name->text() + value + tail;
}

void TrendChart::DrawTrendChart() {
    Parts& p = parts();
    const TrendModel::Frame f = model_.prepareFrame();
    const QString unit = f.fahrenheit ? " F" : " C";
    if (f.fahrenheit != p.fahrenheit) {
        p.fahrenheit = f.fahrenheit;
        plot_.yAxis->setLabel("Temperature (" + unit + ")");
        plot_.yAxis->setRange(0, f.fahrenheit ? 572 : 300);
        p.fullReplot = true;
    }

    // The samples go into the line's points in place; the shading follows them.
    const auto& samples = model_.samples();
    QCPGraphDataContainer& points = *p.line->data();
    auto point = points.begin();
    for (int i = 0; i < TrendModel::kSize; ++i, ++point) point->value = samples[std::size_t(i)];
    QVector<double> fx, fy;
    fx.reserve(TrendModel::kSize + 16);
    fy.reserve(TrendModel::kSize + 16);
    for (int i = 0; i < TrendModel::kSize; ++i) {
        const double v = samples[std::size_t(i)];
        const double before = i > 0 ? samples[std::size_t(i - 1)] : qQNaN();
        if (i > 0 && !std::isnan(v) && !std::isnan(before) && ((before < f.alarm) != (v < f.alarm))) {
            const double t = (f.alarm - before) / (v - before);
            fx << i - 1 + t;
            fy << f.alarm;
        }
        fx << i;
        fy << ((!std::isnan(v) && v >= f.alarm) ? v : qQNaN());
    }
    p.above->setData(fx, fy, true);

    drawLegend(p, std::isnan(f.latest) ? QString() : QString::number(std::lround(f.latest)), unit);

    if (f.alarm != p.alarm) {
        p.alarm = f.alarm;
        p.level->setData({0, 399}, {f.alarm, f.alarm}, true);
        p.mark->point1->setCoords(0, f.alarm);
        p.mark->point2->setCoords(300, f.alarm);
        p.alarmLabel->position->setCoords(0.004, f.alarm);
        p.fullReplot = true;
    }
    alarmLabel_ = "Alarm = " + QString::number(std::lround(f.alarm));
    p.alarmLabel->setText(alarmLabel_);

    banner_ = f.alarmExceeded;
    p.banner->setVisible(banner_);
    p.notice->setVisible(!notice_.isEmpty());
    p.notice->setText(notice_);
    p.notice->position->setCoords(kBannerRight, kBannerTop + (banner_ ? p.bannerHeight : 0));

    // Drawn at once when shown; before its first showing the resize that comes with it draws it.
    if (plot_.testAttribute(Qt::WA_PendingResizeEvent)) return;
    if (p.fullReplot) plot_.replot();
    else p.live->replot();  // the whole plot when its buffers are not yet drawn
    p.fullReplot = false;
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

#include "ui/chart_look.h"

#include <QPainter>
#include <QStringList>
#include <qcustomplot.h>

namespace ui {

namespace {

const QColor kChartBackground(0xF4, 0xF4, 0xF4);
const QColor kFrameOuter(0xD2, 0xD2, 0xD2);
const QColor kTitleBox(0xDD, 0xDD, 0xDD);

QFont face(const char* family, const char* fallback, int points, bool italic) {
    QFont f(family, points, QFont::Bold, italic);
    f.setFamilies(QStringList{QString(family), QString(fallback)});
    return f;
}

// A glassy grey box behind the title, the width of the chart.
void addTitle(QCustomPlot& plot, const QString& title) {
    auto* box = new QCPItemRect(&plot);
    box->setClipToAxisRect(false);
    box->topLeft->setType(QCPItemPosition::ptAbsolute);
    box->bottomRight->setType(QCPItemPosition::ptAbsolute);
    box->topLeft->setCoords(3, 3);
    box->bottomRight->setCoords(ChartLook::kWidth - 3, 27);
    QLinearGradient glass(0, 3, 0, 27);
    glass.setColorAt(0, kTitleBox.lighter(125));
    glass.setColorAt(0.5, kTitleBox);
    glass.setColorAt(1, kTitleBox.darker(112));
    box->setBrush(glass);
    box->setPen(Qt::NoPen);
    absoluteText(plot, ChartLook::kWidth / 2.0, 15, title, titleFont(15), Qt::AlignCenter);
}

QSharedPointer<QCPAxisTickerFixed> fixedTicks(double step) {
    QSharedPointer<QCPAxisTickerFixed> t(new QCPAxisTickerFixed);
    t->setTickStep(step);
    t->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    return t;
}

}  // namespace

QFont titleFont(int points) { return face("Liberation Serif", "serif", points, true); }
QFont boldFont(int points) { return face("Liberation Sans", "sans-serif", points, false); }
QFont boldItalicFont(int points) { return face("Liberation Sans", "sans-serif", points, true); }

QPixmap ChartFrame::pixmap(int w, int h) {
    if (cached_.size() == QSize(w, h)) return cached_;
    QPixmap pm(w, h);
    pm.fill(kFrameOuter);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kChartBackground);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 10, 10);
    p.end();
    cached_ = pm;
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

void buildChartBase(QCustomPlot& plot, ChartFrame& frame, const ChartLook& look, const QString& title,
                    const QString& yTitle, double yMax) {
    plot.clearItems();
    plot.clearGraphs();
    plot.setBackground(frame.pixmap(ChartLook::kWidth, ChartLook::kHeight), false);
    QCPAxisRect* rect = plot.axisRect();
    rect->setAutoMargins(QCP::msNone);
    rect->setMargins(QMargins(ChartLook::kPlotLeft, ChartLook::kPlotTop,
                              ChartLook::kWidth - ChartLook::kPlotLeft - ChartLook::kPlotWidth,
                              ChartLook::kHeight - ChartLook::kPlotTop - ChartLook::kPlotHeight));
    rect->setBackground(look.plotBackground);
    plot.legend->setVisible(false);
    // Nothing is drawn on the overlay: as a buffered layer of its own it would be one more
    // chart-sized buffer to lay over the others at every paint.
    plot.layer("overlay")->setMode(QCPLayer::lmLogical);

    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        axis->setBasePen(QPen(Qt::black, 2));
        axis->setTickPen(QPen(Qt::black, 1));
        axis->setSubTickPen(QPen(Qt::black, 1));
        axis->grid()->setPen(QPen(look.grid, 1));
        axis->grid()->setSubGridVisible(false);
        axis->grid()->setZeroLinePen(Qt::NoPen);
        axis->setLabelFont(boldFont(10));
        axis->setTickLabelFont(QFont(boldFont(8).family(), 8));
    }
    plot.yAxis->setLabel(yTitle);
    plot.xAxis->setLabel("Time (Sec)");
    plot.yAxis->setTicker(fixedTicks(50));
    plot.yAxis->setSubTicks(false);
    plot.yAxis->setRange(0, yMax);
    plot.xAxis->setTicker(fixedTicks(30));
    plot.xAxis->setSubTicks(look.xMinorTicks);
    plot.xAxis->setRange(0, 300);

    addTitle(plot, title);
}

void addLogo(QCustomPlot& plot, const QPixmap& logo, double right, double bottom) {
    if (logo.isNull()) return;
    auto* pic = new QCPItemPixmap(&plot);
    pic->setClipToAxisRect(false);
    pic->setScaled(false);
    pic->setLayer(plot.layer("background") ? "background" : pic->layer()->name());
    pic->topLeft->setType(QCPItemPosition::ptAbsolute);
    pic->topLeft->setCoords(right - logo.width(), bottom - logo.height());
    pic->setPixmap(logo);
}

}  // namespace ui

#include "mainwin/heater_gauge.h"

#include "ui/chart_look.h"

#include <QPainter>
#include <qcustomplot.h>

#include <cmath>

namespace mainwin {

namespace {
const QColor kInactive(0x7B, 0x7B, 0x7D);
const QColor kActive(0xEA, 0x41, 0x10);
const QColor kPointer(0xFF, 0xF0, 0x00, 0x80);
constexpr int kHeight = 45;

// A brushed-metal look with a sunken 2-pixel border.
QPixmap metal(int w, int h) {
    QPixmap pm(w, h);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(0xE8, 0xE8, 0xEC));
    g.setColorAt(0.45, QColor(0xC4, 0xC6, 0xCC));
    g.setColorAt(0.55, QColor(0xB8, 0xBA, 0xC0));
    g.setColorAt(1, QColor(0xDA, 0xDC, 0xE0));
    p.fillRect(0, 0, w, h, g);
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 2);
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
    p.end();
    return pm;
}
}  // namespace

GaugeSpec GaugeSpec::upper() {
    return {"Upper Heater Status", 210, {{0, 20, "OFF", 10}, {20, 50, "REFLOW", 35}, {50, 100, "FAST REFLOW", 75}}};
}

GaugeSpec GaugeSpec::lower() {
    return {"Lower Heater Status",
            215,
            {{0, 12, "OFF", 6}, {12, 38, "PREHEAT", 25}, {38, 62, "REFLOW", 50}, {62, 102, "FAST REFLOW", 82}}};
}

HeaterGauge::HeaterGauge(QCustomPlot& viewer, GaugeSpec layout) : plot_(viewer), spec_(std::move(layout)) {
    plot_.setFixedSize(spec_.width, kHeight);
    background_ = metal(spec_.width, kHeight);
}

void HeaterGauge::draw(int code, bool online) {
    plot_.clearItems();
    plot_.clearGraphs();
    plot_.setBackground(background_, false);
    QCPAxisRect* rect = plot_.axisRect();
    rect->setAutoMargins(QCP::msNone);
    rect->setMargins(QMargins(5, 5, spec_.width - 205, kHeight - 25));  // bar at (5, 5), 200 x 20
    rect->setBackground(QColor(0xF0, 0xF0, 0xF0));
    plot_.legend->setVisible(false);
    plot_.xAxis->setRange(0, 100);
    plot_.yAxis->setRange(0, 1);
    for (QCPAxis* axis : {plot_.xAxis, plot_.yAxis, plot_.xAxis2, plot_.yAxis2}) {
        axis->setVisible(false);
        axis->grid()->setVisible(false);
    }

    const bool known = code >= 1 && code <= spec_.zones.size();
    lit_ = -1;
    pointer_ = std::nan("");
    zonesShown_ = 0;
    if (!online || known) {
        for (int i = 0; i < spec_.zones.size(); ++i) {
            const GaugeSpec::Zone& z = spec_.zones[i];
            const bool active = online && i == code - 1;
            auto* r = new QCPItemRect(&plot_);
            r->topLeft->setCoords(z.start, 1);
            r->bottomRight->setCoords(std::min(z.end, 100.0), 0);
            r->setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
            r->setBrush(active ? kActive : kInactive);
            auto* t = new QCPItemText(&plot_);
            t->position->setCoords((z.start + std::min(z.end, 100.0)) / 2, 0.5);
            t->setText(z.label);
            t->setColor(Qt::white);
            QFont f = ui::boldFont(6);
            t->setFont(f);
            if (active) lit_ = i;
            ++zonesShown_;
        }
    }
    if (online && known) {
        pointer_ = spec_.zones[code - 1].pointer;
        auto* p = new QCPItemLine(&plot_);
        p->setClipToAxisRect(false);
        p->start->setCoords(pointer_, 1.25);
        p->end->setCoords(pointer_, 0.62);
        p->setPen(QPen(kPointer, 2));
        p->setHead(QCPLineEnding(QCPLineEnding::esSpikeArrow, 10, 10));
    }
    auto* title = new QCPItemText(&plot_);
    title->setClipToAxisRect(false);
    title->position->setType(QCPItemPosition::ptAbsolute);
    title->position->setCoords(105, 35);
    title->setPositionAlignment(Qt::AlignCenter);
    title->setFont(ui::boldFont(8));
    title->setText(spec_.title);
    // Drawn at once when shown; before its first showing the resize that comes with it draws it.
    if (!plot_.testAttribute(Qt::WA_PendingResizeEvent)) plot_.replot();
}

}  // namespace mainwin

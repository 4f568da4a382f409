#include "profiles/run_picture.h"

#include "ui/chart_look.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace profiles {

namespace {
QString secondsText(double s) { return QString::number(std::lround(s)) + " s"; }
QString rateText(const std::optional<double>& r) { return r ? QString::number(*r, 'f', 1) + " C/s" : "n/a"; }
}  // namespace

QStringList runPictureLines(const RunSummary& s) {
    QStringList l;
    l << s.profileName.trimmed() + ": " + outcomeText(s.outcome) + " after " + secondsText(s.totalS);
    QStringList reached;
    for (int p = 0; p < 3; ++p) {
        const auto& r = s.reachedS[std::size_t(p)];
        reached << QString("X%1 %2").arg(p + 1).arg(r ? secondsText(*r) : QString("-"));
    }
    l << "Reached: " + reached.join(", ");
    l << (s.peakC ? QString("Peak: %1 C at %2").arg(std::lround(*s.peakC)).arg(secondsText(s.peakAtS))
                  : QString("Peak: n/a"));
    l << QString("Above %1 C: %2").arg(s.liquidusC).arg(secondsText(s.aboveLiquidusS));
    l << "Steepest rise: " + rateText(s.steepestRise) + ", fall: " + rateText(s.steepestFall);
    return l;
}

QImage runPicture(const QImage& chart, const RunSummary& summary) {
    QImage out = chart.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    const QFont font = ui::boldFont(8);
    p.setFont(font);
    const QFontMetrics fm(font);
    const QStringList lines = runPictureLines(summary);
    int width = 0;
    for (const QString& l : lines) width = std::max(width, fm.horizontalAdvance(l));
    const int pad = 5;
    const QRect box(0, 0, width + 2 * pad, int(lines.size()) * fm.height() + 2 * pad);
    const int plotRight = int(ui::ChartLook::kPlotLeft + ui::ChartLook::kPlotWidth);
    const QRect placed = box.translated(plotRight - box.width() - 4, int(ui::ChartLook::kPlotTop) + 4);
    p.setPen(QPen(QColor(200, 200, 210), 1));
    p.setBrush(QColor(20, 20, 30, 220));
    p.drawRect(placed);
    p.setPen(QColor(240, 240, 240));
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(placed.left() + pad, placed.top() + pad + i * fm.height() + fm.ascent(), lines[i]);
    return out;
}

}  // namespace profiles

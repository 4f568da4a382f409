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
    l << s.profileName.trimmed() + ": " + s.outcomeLine() + " after " + secondsText(s.totalS);
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
    for (const QString& outage : s.outageTexts()) l << outage.left(1).toUpper() + outage.mid(1);
    return l;
}

// The chart with the figures in a band below it, so they never cover the trace.
QImage runPicture(const QImage& chart, const RunSummary& summary, const QStringList& more) {
    const QFont font = ui::boldFont(8);
    const QFontMetrics fm(font);
    const QStringList lines = runPictureLines(summary) + more;
    const int pad = 6;
    const int band = int(lines.size()) * fm.height() + 2 * pad;
    QImage out(chart.width(), chart.height() + band, QImage::Format_RGB32);
    out.fill(QColor(20, 20, 30));
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(0, 0, chart);
    p.setFont(font);
    const int left = int(ui::ChartLook::kPlotLeft);
    for (int i = 0; i < lines.size(); ++i) {
        // The verdict stands out: green for PASS, red for FAIL.
        const QString& line = lines[i];
        p.setPen(line.startsWith("PASS") ? QColor(110, 220, 110)
                 : line.startsWith("FAIL") ? QColor(255, 110, 100)
                                           : QColor(240, 240, 240));
        p.drawText(left, chart.height() + pad + i * fm.height() + fm.ascent(), line);
    }
    return out;
}

QImage captionedPicture(const QImage& chart, const QString& caption) {
    QImage out = chart.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(ui::boldFont(9));
    p.setPen(QColor(20, 20, 90));
    const int right = int(ui::ChartLook::kPlotLeft + ui::ChartLook::kPlotWidth);
    const QRect row(right - 330, 33, 330, 22);  // beside the legend, above the plot
    p.drawText(row, Qt::AlignRight | Qt::AlignVCenter, caption);
    return out;
}

}  // namespace profiles

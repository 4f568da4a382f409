#pragma once
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

class QCustomPlot;
class QCPItemText;

namespace ui {

// The chart faces: a bold italic serif for titles, bold and bold italic sans for the rest.
QFont titleFont(int points);       // "timesbi.ttf"
QFont boldFont(int points);        // "arialbd.ttf"
QFont boldItalicFont(int points);  // "arialbi.ttf"

// The look both live charts share: a 750 x 310 picture in a rounded frame, the plot area
// at (55, 62) 650 x 200, a glassy title box across the top, axes 2 pixels wide and the
// logo in the lower right corner.
struct ChartLook {
    static constexpr int kWidth = 750;
    static constexpr int kHeight = 310;
    static constexpr int kPlotLeft = 55;
    static constexpr int kPlotTop = 62;
    static constexpr int kPlotWidth = 650;
    static constexpr int kPlotHeight = 200;

    QColor plotBackground = Qt::white;
    QColor grid{0xCC, 0xCC, 0xCC};
    bool xMinorTicks = true;  // unlabelled ticks between the 30-second marks
};

// The frame behind a chart, drawn once per size and kept.
class ChartFrame {
public:
    QPixmap pixmap(int width, int height);

private:
    QPixmap cached_;
};

// Text at a pixel position of the chart, outside the plot's clipping.
QCPItemText* absoluteText(QCustomPlot& plot, double x, double y, const QString& text, const QFont& font,
                          Qt::Alignment align);

// Clears the plot and lays out the frame, the plot area, the axes with their titles and
// scales, and the title box. The caller adds its data and items.
void buildChartBase(QCustomPlot& plot, ChartFrame& frame, const ChartLook& look, const QString& title,
                    const QString& yTitle, double yMax);

// The logo with its lower right corner at (right, bottom) of the chart, beneath the
// curves; nothing when the picture is missing.
void addLogo(QCustomPlot& plot, const QPixmap& logo, double right, double bottom);

}  // namespace ui

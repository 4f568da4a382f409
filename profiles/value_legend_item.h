#pragma once
#include <QColor>
#include <qcustomplot.h>

namespace profiles {

// A legend entry that shows its line on a small black swatch, as the line looks in the
// plot, and can put a coloured ground behind one part of its text (the latest reading).
class ValueLegendItem : public QCPPlottableLegendItem {
    Q_OBJECT
public:
    ValueLegendItem(QCPLegend* legend, QCPAbstractPlottable* plottable);

    // The characters [start, start + length) of the name get the ground; length 0: none.
    void setHighlight(int start, int length, const QColor& ground);

protected:
    void draw(QCPPainter* painter) override;

private:
    int start_ = 0;
    int length_ = 0;
    QColor ground_;
};

}  // namespace profiles

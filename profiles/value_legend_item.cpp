#include "profiles/value_legend_item.h"

namespace profiles {

ValueLegendItem::ValueLegendItem(QCPLegend* legend, QCPAbstractPlottable* plottable)
    : QCPPlottableLegendItem(legend, plottable) {}

void ValueLegendItem::setHighlight(int start, int length, const QColor& ground) {
    start_ = start;
    length_ = length;
    ground_ = ground;
}

void ValueLegendItem::draw(QCPPainter* painter) {
    if (!mPlottable) return;
    const QSize icon = mParentLegend->iconSize();
    painter->fillRect(QRect(mRect.topLeft(), icon), Qt::black);
    if (length_ > 0) {
        // The base class writes the name top-aligned right of the icon.
        painter->setFont(getFont());
        const QFontMetrics fm = painter->fontMetrics();
        const QString name = mPlottable->name();
        const int textLeft = mRect.x() + icon.width() + mParentLegend->iconTextPadding();
        const int left = textLeft + fm.horizontalAdvance(name.left(start_));
        const int width = fm.horizontalAdvance(name.mid(start_, length_));
        painter->fillRect(QRect(left - 2, mRect.y(), width + 4, fm.height()), ground_);
    }
    QCPPlottableLegendItem::draw(painter);
}

}  // namespace profiles

#include "ui/picture_at_size.h"

#include <QImage>
#include <QImageReader>

namespace ui {

QPixmap pictureAtSize(const QString& path, QSize box) {
    QImageReader reader(path);
    if (const QSize full = reader.size(); full.isValid() && box.isValid())
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
    const QImage picture = reader.read();
    return picture.isNull() ? QPixmap() : QPixmap::fromImage(picture);
}

}  // namespace ui

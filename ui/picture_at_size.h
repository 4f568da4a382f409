#pragma once
#include <QPixmap>
#include <QSize>
#include <QString>

namespace ui {

// A picture file read straight at the size it is shown in (aspect kept), and kept nowhere
// but in what shows it: a window holds its small picture only, not the full-size one in
// Qt's pixmap cache for as long as the program runs. Null when the file cannot be read.
QPixmap pictureAtSize(const QString& path, QSize box);

}  // namespace ui

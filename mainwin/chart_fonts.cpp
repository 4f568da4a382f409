#include "mainwin/chart_fonts.h"

#include <QStringList>

namespace mainwin {

namespace {
QFont face(const char* family, const char* fallback, int points, bool italic) {
    QFont f(family, points, QFont::Bold, italic);
    f.setFamilies(QStringList{QString(family), QString(fallback)});
    return f;
}
}  // namespace

QFont titleFont(int points) { return face("Liberation Serif", "serif", points, true); }
QFont boldFont(int points) { return face("Liberation Sans", "sans-serif", points, false); }
QFont boldItalicFont(int points) { return face("Liberation Sans", "sans-serif", points, true); }

}  // namespace mainwin

#pragma once
#include <QFont>

namespace mainwin {

// The chart faces: a bold italic serif for titles, bold and bold italic sans for the rest.
QFont titleFont(int points);   // "timesbi.ttf"
QFont boldFont(int points);    // "arialbd.ttf"
QFont boldItalicFont(int points);  // "arialbi.ttf"

}  // namespace mainwin

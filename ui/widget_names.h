#pragma once
#include <QObject>

namespace ui {

// Gives a new widget its object name, which tests and style sheets find it by.
template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

}  // namespace ui

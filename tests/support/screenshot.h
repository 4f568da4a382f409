#pragma once
#include <QCoreApplication>
#include <QWidget>

namespace testsupport {

// Saves a picture of the widget when KR_SCREENSHOT_DIR names a folder, so a person can
// look at what a test saw.
inline void saveShot(QWidget& w, const char* name) {
    const QByteArray dir = qgetenv("KR_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QCoreApplication::processEvents();  // let pending layouts settle
    w.grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}

}  // namespace testsupport

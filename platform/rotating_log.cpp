#include "platform/rotating_log.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace platform {

RotatingLog::RotatingLog(QString path, qint64 maxBytes, Now now)
    : path_(std::move(path)), maxBytes_(maxBytes), now_(std::move(now)) {
    if (!now_) now_ = [] { return QDateTime::currentDateTime(); };
}

bool RotatingLog::openCurrent() {
    if (file_.isOpen()) return true;
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        error_ = "cannot make the folder of " + path_;
        return false;
    }
    file_.setFileName(path_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error_ = file_.errorString();
        return false;
    }
    return true;
}

// The current file becomes the previous one, replacing it; a new current file starts.
bool RotatingLog::rotate() {
    file_.close();
    QFile::remove(previousPath());
    if (!QFile::rename(path_, previousPath())) QFile::remove(path_);  // never grow past the bound
    return openCurrent();
}

bool RotatingLog::write(const QString& line) {
    const QByteArray text = (now_().toString("yyyy-MM-dd hh:mm:ss.zzz") + "  " + line).toLatin1() + "\r\n";
    if (!openCurrent()) return false;
    if (file_.size() > 0 && file_.size() + text.size() > maxBytes_ && !rotate()) return false;
    if (file_.write(text) != text.size() || !file_.flush()) {
        error_ = file_.errorString();
        file_.close();  // opened again by the next line
        return false;
    }
    error_.clear();
    return true;
}

}  // namespace platform

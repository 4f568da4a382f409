#pragma once
#include <QFile>
#include <QString>

#include <functional>

class QDateTime;

namespace platform {

// A log file that keeps the newest lines in two files of at most maxBytes each: the current
// one, and the one before it beside it with ".1" added. Each line gets the local time in front
// and ends with CR LF; lines are written at once, so a crash loses nothing said before it.
class RotatingLog {
public:
    static constexpr qint64 kDefaultMaxBytes = 1024 * 1024;
    using Now = std::function<QDateTime()>;

    explicit RotatingLog(QString path, qint64 maxBytes = kDefaultMaxBytes, Now now = {});

    // False when the line could not be written (the folder cannot be made, a full disk).
    bool write(const QString& line);
    const QString& path() const { return path_; }
    QString previousPath() const { return path_ + ".1"; }
    // Why the last write failed; empty while writing works.
    const QString& error() const { return error_; }

private:
    bool openCurrent();
    bool rotate();

    QString path_;
    qint64 maxBytes_;
    Now now_;
    QFile file_;
    QString error_;
};

}  // namespace platform

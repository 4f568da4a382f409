#pragma once
#include <QString>
#include <QStringList>

#include <functional>

namespace core {

// The diagnostic list: every link failure appends its lines here, in order. The main
// window's list box mirrors it through the observer. It shows at most kShownLines lines:
// once full, the oldest lines go and the first line says how many went. Every line is also
// handed to the recorder (the program's log file), so none is lost.
class DiagnosticList {
public:
    static constexpr int kShownLines = 5000;

    static QString droppedLine(qint64 count) {
        return QString("... %1 older lines removed from this list (the diagnostic log file keeps them)").arg(count);
    }

    void add(const QString& line) {
        if (recorder_) recorder_(line);
        lines_.append(line);
        ++added_;
        if (lines_.size() > kShownLines) dropOldest();
        if (onChange_) onChange_();
    }
    void clear() {
        lines_.clear();
        dropped_ = 0;
        added_ = 0;
        ++clears_;
        if (onChange_) onChange_();
    }
    // The lines as shown: the note on what went first, when lines went.
    const QStringList& lines() const { return lines_; }
    int size() const { return static_cast<int>(lines_.size()); }
    // Since the last clear: lines added, lines removed to keep the bound; and how often the
    // list was cleared. A view that follows the list compares these with what it showed.
    qint64 added() const { return added_; }
    qint64 dropped() const { return dropped_; }
    qint64 clears() const { return clears_; }
    void setObserver(std::function<void()> onChange) { onChange_ = std::move(onChange); }
    void setRecorder(std::function<void(const QString&)> recorder) { recorder_ = std::move(recorder); }

private:
    // Front removals and a prepend into the space they free keep this cheap at the bound.
    void dropOldest() {
        const bool noted = dropped_ > 0;
        if (noted) lines_.removeFirst();
        const qsizetype excess = lines_.size() - (kShownLines - 1);
        for (qsizetype i = 0; i < excess; ++i) lines_.removeFirst();
        dropped_ += excess;
        lines_.prepend(droppedLine(dropped_));
    }

    QStringList lines_;
    qint64 added_ = 0;
    qint64 dropped_ = 0;
    qint64 clears_ = 0;
    std::function<void()> onChange_;
    std::function<void(const QString&)> recorder_;
};

}  // namespace core

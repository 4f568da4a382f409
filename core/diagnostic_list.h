#pragma once
#include <QString>
#include <QStringList>

#include <functional>

namespace core {

// The diagnostic list: every link failure appends its lines here, in order. The main
// window's list box mirrors it through the observer.
class DiagnosticList {
public:
    void add(const QString& line) {
        lines_.append(line);
        if (onChange_) onChange_();
    }
    void clear() {
        lines_.clear();
        if (onChange_) onChange_();
    }
    const QStringList& lines() const { return lines_; }
    int size() const { return static_cast<int>(lines_.size()); }
    void setObserver(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    QStringList lines_;
    std::function<void()> onChange_;
};

}  // namespace core

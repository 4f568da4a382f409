#pragma once
#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace platform {
class Clock;
class Timer;
}  // namespace platform

namespace app {

// Runs what start-up leaves for later once the window has first been painted, so that it
// does not hold up the first picture; at the latest after `latestMs` (a window started
// minimized or hidden is never painted). Runs once, as a clock callback after the paint.
class AfterFirstPaint final : public QObject {
public:
    AfterFirstPaint(QWidget& window, platform::Clock& clock, int latestMs, std::function<void()> work);
    ~AfterFirstPaint() override;
    bool done() const { return done_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void due();

    QWidget& window_;
    platform::Clock& clock_;
    std::function<void()> work_;
    std::unique_ptr<platform::Timer> latest_;
    bool done_ = false;
};

}  // namespace app

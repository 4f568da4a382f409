#pragma once
#include "platform/clock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace platform {

// The clock of the running program: precise QTimers and Qt's event loop.
// Waiting blocks in the event loop (no spinning) until an event or the deadline.
class RealClock final : public Clock {
public:
    RealClock();
    std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()> onTick) override;
    void schedule(int delayMs, std::function<void()> callback) override;
    std::int64_t nowMs() const override;

    // The outermost loop of a test or a benchmark (the program itself has Qt's): lets
    // events run until the predicate holds, the time is up or the program is ending;
    // true if the predicate held. Never throws ProgramEnding.
    bool runUntil(const std::function<bool()>& done, int limitMs);

protected:
    void pumpPending() override;
    void pumpNext(int maxMs) override;

private:
    QElapsedTimer elapsed_;
    QObject callbacks_;  // scheduled callbacks die with the clock
    QTimer* wake_;       // bounds a wait's sleep; one for every wait, started anew by each
};

}  // namespace platform

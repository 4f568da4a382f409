#pragma once
#include "platform/clock.h"

#include <QElapsedTimer>

namespace platform {

// The clock of the running program: precise QTimers and Qt's event loop.
// Waiting blocks in the event loop (no spinning) until an event or the deadline.
class RealClock final : public Clock {
public:
    RealClock();
    std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()> onTick) override;
    void schedule(int delayMs, std::function<void()> callback) override;
    std::int64_t nowMs() const override;
    void runPending() override;
    void waitNext(int maxMs) override;

private:
    QElapsedTimer elapsed_;
};

}  // namespace platform

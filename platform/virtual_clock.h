#pragma once
#include "platform/clock.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// A wait found nothing that could ever end it: no timer enabled, nothing scheduled.
class VirtualDeadlock : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Deterministic time for tests and simulations. Timer ticks and scheduled callbacks
// are events on one queue ordered by due time, then by the order they were armed.
// A wait advances virtual time to the next event; waits nest.
class VirtualClock final : public Clock {
public:
    VirtualClock();
    ~VirtualClock() override;

    std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()> onTick) override;
    void schedule(int delayMs, std::function<void()> callback) override;
    std::int64_t nowMs() const override { return now_; }

    // The outermost loop of a test: these drive time and never throw ProgramEnding; once
    // the program is ending, the events they reach do nothing.
    // Runs every event due within the next ms milliseconds; time ends ms later.
    void advance(std::int64_t ms);
    // Advances event by event until the predicate holds; false if the limit came first.
    bool runUntil(const std::function<bool()>& done, std::int64_t limitMs);
    // Number of events run so far (timer ticks and callbacks).
    std::uint64_t eventsRun() const { return eventsRun_; }

    class VTimer;

protected:
    void pumpPending() override;
    // Throws VirtualDeadlock when nothing is scheduled at all.
    void pumpNext(int maxMs) override;
    // A pause has a known end, so it needs nothing scheduled.
    void pumpFor(int ms) override;

private:
    struct Callback {
        std::int64_t due;
        std::uint64_t seq;
        std::function<void()> fn;
    };
    struct Next {
        std::int64_t due = 0;
        std::uint64_t seq = 0;
        VTimer* timer = nullptr;
        std::size_t callback = 0;
        bool found = false;
    };
    Next findNext() const;
    void runEvent(const Next& next);
    bool runDue(std::int64_t upTo);

    friend class VTimer;
    std::uint64_t arm() { return ++seq_; }

    std::int64_t now_ = 0;
    std::uint64_t seq_ = 0;
    std::uint64_t eventsRun_ = 0;
    std::vector<VTimer*> timers_;
    std::vector<Callback> callbacks_;
};

}  // namespace platform

#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// A repeating timer made by a Clock. While enabled it ticks every interval; a tick
// does not re-enter itself if its handler is still running. `tag` is the one-shot
// flag that waits test ("True"/"False" on the timer).
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    void setOnTick(std::function<void()> onTick) { onTick_ = std::move(onTick); }

    bool tag = false;

protected:
    void fire() {
        if (onTick_) onTick_();
    }

private:
    std::function<void()> onTick_;
};

// Time and the event loop of the one UI thread. Every wait in the program is
// "let events run until a flag or a deadline", written with these calls.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()> onTick = {}) = 0;
    // Runs a callback once, after the delay (0 = as soon as events run).
    virtual void schedule(int delayMs, std::function<void()> callback) = 0;
    // Milliseconds since the clock was made.
    virtual std::int64_t nowMs() const = 0;
    // Lets what is due now run, and returns at once.
    virtual void runPending() = 0;
    // Sleeps until the next timer tick or scheduled callback, or at most maxMs, and runs
    // what is then due.
    virtual void waitNext(int maxMs) = 0;

    // Lets events run for at least the given time.
    virtual void pause(int ms);
    // Lets events run until the predicate holds or the time is up; true if it held.
    bool waitFor(const std::function<bool()>& done, int limitMs);
};

}  // namespace platform

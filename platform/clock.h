#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

class Clock;

// Thrown out of a wait once the program has begun to end, so that the sequence that was
// waiting stops there: it sends nothing more, calls the bridge no more, writes no more
// lines. Timer ticks and scheduled callbacks catch it; a button or menu handler that
// waits catches it with `stopAtEnd`. Not a std::exception, so that no general handler
// takes it for a failure.
struct ProgramEnding {};

// Runs an event handler that may wait; when the program ends during one of its waits,
// the handler ends there quietly.
template <class Handler>
void stopAtEnd(Handler&& handler) {
    try {
        handler();
    } catch (const ProgramEnding&) {
    }
}

// A repeating timer made by a Clock. While enabled it ticks every interval; a tick
// does not re-enter itself if its handler is still running. `tag` is the one-shot
// flag that waits test ("True"/"False" on the timer). Once the program is ending a
// timer no longer runs its handler.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    // For a timer of whole seconds whose ticks need not come at an exact moment (the poll, a
    // watch, a panel): on the real clock such timers tick together on the whole second, the
    // first tick up to a second early, so that the program wakes once for all of them.
    // Virtual time keeps every tick exact.
    virtual void setLoose() {}
    void setOnTick(std::function<void()> onTick) { onTick_ = std::move(onTick); }

    bool tag = false;

protected:
    explicit Timer(const Clock& clock) : clock_(clock) {}
    void fire();

private:
    const Clock& clock_;
    std::function<void()> onTick_;
};

// Time and the event loop of the one UI thread. Every wait in the program is
// "let events run until a flag or a deadline", written with these calls. Once
// `endWaits` has been called every wait throws ProgramEnding instead of letting
// events run.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()> onTick = {}) = 0;
    // Runs a callback once, after the delay (0 = as soon as events run); not once the
    // program is ending.
    virtual void schedule(int delayMs, std::function<void()> callback) = 0;
    // Milliseconds since the clock was made.
    virtual std::int64_t nowMs() const = 0;

    // Lets what is due now run, and returns at once.
    void runPending();
    // Sleeps until the next timer tick or scheduled callback, or at most maxMs, and runs
    // what is then due.
    void waitNext(int maxMs);
    // Lets events run for at least the given time.
    void pause(int ms);
    // Lets events run until the predicate holds or the time is up; true if it held.
    bool waitFor(const std::function<bool()>& done, int limitMs);

    // The program is ending: every wait ends now, and no timer or callback runs again.
    void endWaits() { ending_ = true; }
    bool ending() const { return ending_; }

protected:
    // What the waits above do while the program is not ending.
    virtual void pumpPending() = 0;
    virtual void pumpNext(int maxMs) = 0;
    virtual void pumpFor(int ms);
    // Runs a scheduled callback: not once the program is ending; a sequence it started
    // that the end stops, stops here.
    void runCallback(const std::function<void()>& callback) const;

private:
    void throwIfEnding() const {
        if (ending_) throw ProgramEnding{};
    }
    bool ending_ = false;
};

}  // namespace platform

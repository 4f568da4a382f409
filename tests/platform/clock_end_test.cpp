// Both clocks once the program has begun to end: waits stop, timers and callbacks fall
// silent, and a handler stopped in a wait ends quietly.
#include "platform/real_clock.h"
#include "platform/virtual_clock.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// A clock with its outermost loop: what drives events when no wait is running.
struct ClockKind {
    const char* name;
    std::function<std::unique_ptr<platform::Clock>()> make;
    std::function<void(platform::Clock&, int ms)> drive;
};

std::vector<ClockKind> kinds() {
    return {
        {"virtual", [] { return std::make_unique<platform::VirtualClock>(); },
         [](platform::Clock& c, int ms) { static_cast<platform::VirtualClock&>(c).advance(ms); }},
        {"real", [] { return std::make_unique<platform::RealClock>(); },
         [](platform::Clock& c, int ms) { static_cast<platform::RealClock&>(c).runUntil([] { return false; }, ms); }},
    };
}

void PrintTo(const ClockKind& kind, std::ostream* out) { *out << kind.name; }

struct ClockEnd : ::testing::TestWithParam<ClockKind> {};

}  // namespace

TEST_P(ClockEnd, EveryWaitThrowsOnceTheProgramIsEnding) {
    auto clock = GetParam().make();
    auto keepAlive = clock->createTimer(5, {});
    keepAlive->setEnabled(true);
    clock->endWaits();
    EXPECT_THROW(clock->runPending(), platform::ProgramEnding);
    EXPECT_THROW(clock->waitNext(10), platform::ProgramEnding);
    EXPECT_THROW(clock->pause(10), platform::ProgramEnding);
    EXPECT_THROW(clock->waitFor([] { return true; }, 10), platform::ProgramEnding);
}

TEST_P(ClockEnd, TimersAndCallbacksNoLongerRun) {
    auto clock = GetParam().make();
    int ticks = 0, callbacks = 0;
    auto timer = clock->createTimer(5, [&] { ++ticks; });
    timer->setEnabled(true);
    clock->schedule(5, [&] { ++callbacks; });
    clock->endWaits();
    GetParam().drive(*clock, 30);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(callbacks, 0);
}

TEST_P(ClockEnd, AHandlerStoppedInItsWaitEndsThereAndTheLoopGoesOn) {
    auto clock = GetParam().make();
    bool started = false, carriedOn = false;
    std::int64_t stoppedAt = -1;
    struct MarkWhenLeft {
        platform::Clock& clock;
        std::int64_t& at;
        ~MarkWhenLeft() { at = clock.nowMs(); }
    };
    auto sequence = clock->createTimer(5, {});
    sequence->setOnTick([&] {
        sequence->setEnabled(false);
        MarkWhenLeft mark{*clock, stoppedAt};
        started = true;
        clock->pause(500);  // the end comes about 15 ms into this
        carriedOn = true;
    });
    sequence->setEnabled(true);
    const std::int64_t t0 = clock->nowMs();
    clock->schedule(20, [&] { clock->endWaits(); });
    EXPECT_NO_THROW(GetParam().drive(*clock, 1000));
    EXPECT_TRUE(started);
    EXPECT_FALSE(carriedOn);
    EXPECT_GE(stoppedAt - t0, 20);
    EXPECT_LT(stoppedAt - t0, 500);  // the pause did not run out
}

TEST_P(ClockEnd, StopAtEndCatchesOnlyTheEnd) {
    auto clock = GetParam().make();
    bool after = false;
    clock->endWaits();
    platform::stopAtEnd([&] {
        clock->runPending();
        after = true;
    });
    EXPECT_FALSE(after);
    EXPECT_THROW(platform::stopAtEnd([] { throw std::runtime_error("a real fault"); }), std::runtime_error);
}

INSTANTIATE_TEST_SUITE_P(Both, ClockEnd, ::testing::ValuesIn(kinds()),
                         [](const auto& info) { return std::string(info.param.name); });

#include "platform/virtual_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::VirtualClock;

TEST(VirtualClock, RunsEventsByDueTimeThenByArmingOrder) {
    VirtualClock clock;
    std::vector<std::string> trace;
    auto t = clock.createTimer(30, [&] { trace.push_back("timer@" + std::to_string(clock.nowMs())); });
    clock.schedule(30, [&] { trace.push_back("late@" + std::to_string(clock.nowMs())); });
    clock.schedule(10, [&] { trace.push_back("early@" + std::to_string(clock.nowMs())); });
    t->setEnabled(true);  // armed after "late": same due time, runs after it
    clock.advance(65);
    EXPECT_EQ(trace, (std::vector<std::string>{"early@10", "late@30", "timer@30", "timer@60"}));
    EXPECT_EQ(clock.nowMs(), 65);
}

TEST(VirtualClock, NestedWaitsAdvanceTimeAndOuterEventsStillRun) {
    VirtualClock clock;
    std::vector<std::string> trace;
    auto pacing = clock.createTimer(10, {});
    pacing->setOnTick([&] {
        pacing->setEnabled(false);
        pacing->tag = true;
    });
    auto other = clock.createTimer(25, [&] { trace.push_back("other@" + std::to_string(clock.nowMs())); });
    other->setEnabled(true);
    clock.schedule(5, [&] {
        // A handler that waits for three pacing ticks, as a transaction does.
        for (int i = 0; i < 3; ++i) {
            pacing->tag = false;
            pacing->setEnabled(true);
            while (!pacing->tag) clock.waitNext(1000);
        }
        trace.push_back("sent@" + std::to_string(clock.nowMs()));
    });
    clock.advance(60);
    EXPECT_EQ(trace, (std::vector<std::string>{"other@25", "sent@35", "other@50"}));
}

TEST(VirtualClock, WaitWithNothingScheduledFailsAtOnce) {
    VirtualClock clock;
    EXPECT_THROW(clock.waitNext(100), platform::VirtualDeadlock);
    auto t = clock.createTimer(10, {});
    t->setEnabled(true);
    EXPECT_NO_THROW(clock.waitNext(100));
    t->setEnabled(false);
    EXPECT_THROW(clock.waitNext(50), platform::VirtualDeadlock);
    EXPECT_NO_THROW(clock.pause(50));  // a pause ends by itself
}

TEST(VirtualClock, WaitNextStopsAtItsLimitWhenTheNextEventIsLater) {
    VirtualClock clock;
    bool ran = false;
    clock.schedule(100, [&] { ran = true; });
    clock.waitNext(1);
    EXPECT_EQ(clock.nowMs(), 1);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(clock.waitFor([&] { return ran; }, 200));
    EXPECT_EQ(clock.nowMs(), 100);
}

TEST(VirtualClock, TimerDisabledInItsOwnTickDoesNotTickAgain) {
    VirtualClock clock;
    int ticks = 0;
    auto t = clock.createTimer(10, {});
    t->setOnTick([&] {
        ++ticks;
        t->setEnabled(false);
    });
    t->setEnabled(true);
    clock.advance(100);
    EXPECT_EQ(ticks, 1);
}

TEST(VirtualClock, TimerDoesNotReenterWhileItsHandlerWaits) {
    VirtualClock clock;
    int depth = 0, maxDepth = 0, ticks = 0;
    auto background = clock.createTimer(3, {});
    background->setEnabled(true);
    auto t = clock.createTimer(10, {});
    t->setOnTick([&] {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        if (ticks == 1) clock.pause(50);
        --depth;
    });
    t->setEnabled(true);
    clock.advance(100);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_GT(ticks, 1);
}

TEST(VirtualClock, SameProgramGivesTheSameTrace) {
    auto run = [] {
        VirtualClock clock;
        std::vector<std::int64_t> trace;
        auto a = clock.createTimer(7, [&] { trace.push_back(clock.nowMs()); });
        auto b = clock.createTimer(11, [&] { trace.push_back(-clock.nowMs()); });
        a->setEnabled(true);
        b->setEnabled(true);
        for (int i = 0; i < 20; ++i) clock.schedule(i * 3, [&trace, i] { trace.push_back(1000 + i); });
        clock.advance(200);
        return trace;
    };
    EXPECT_EQ(run(), run());
}

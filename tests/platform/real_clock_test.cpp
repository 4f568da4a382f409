#include "platform/real_clock.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

using platform::RealClock;

TEST(RealClock, PacingWaitLastsAtLeastItsInterval) {
    RealClock clock;
    auto pacing = clock.createTimer(10, {});
    pacing->setOnTick([&] {
        pacing->setEnabled(false);
        pacing->tag = true;
    });
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < 4; ++i) {
        pacing->tag = false;
        pacing->setEnabled(true);
        while (!pacing->tag) clock.waitNext(1);
    }
    EXPECT_GE(elapsed.elapsed(), 40);
}

TEST(RealClock, PauseAndWaitForRespectTheirTime) {
    RealClock clock;
    QElapsedTimer elapsed;
    elapsed.start();
    clock.pause(30);
    EXPECT_GE(elapsed.elapsed(), 30);

    bool flag = false;
    clock.schedule(20, [&] { flag = true; });
    EXPECT_TRUE(clock.waitFor([&] { return flag; }, 2000));
    EXPECT_FALSE(clock.waitFor([] { return false; }, 15));
}

TEST(RealClock, TimerDisabledInItsOwnTickDoesNotTickAgain) {
    RealClock clock;
    int ticks = 0;
    auto t = clock.createTimer(5, {});
    t->setOnTick([&] {
        ++ticks;
        t->setEnabled(false);
    });
    t->setEnabled(true);
    clock.pause(60);
    EXPECT_EQ(ticks, 1);
}

// Loose timers started at different moments tick together, so the program wakes once a
// second for all its watches; each still ticks about once a second.
TEST(RealClock, LooseTimersTickTogether) {
    RealClock clock;
    std::vector<std::int64_t> first, second;
    auto a = clock.createTimer(1000, [&] { first.push_back(clock.nowMs()); });
    auto b = clock.createTimer(1000, [&] { second.push_back(clock.nowMs()); });
    a->setLoose();
    b->setLoose();
    a->setEnabled(true);
    clock.pause(300);
    b->setEnabled(true);
    clock.waitFor([&] { return first.size() >= 3 && second.size() >= 3; }, 5000);
    ASSERT_GE(first.size(), 3u);
    ASSERT_GE(second.size(), 3u);
    const std::int64_t last = second.back();
    const bool together =
        std::any_of(first.begin(), first.end(), [&](std::int64_t t) { return std::abs(t - last) <= 50; });
    EXPECT_TRUE(together) << "the second timer ticked at " << last << " ms, the first did not";
    EXPECT_NEAR(double(first[2] - first[1]), 1000.0, 300.0);
}

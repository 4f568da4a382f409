#include "platform/real_clock.h"

#include <QElapsedTimer>

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

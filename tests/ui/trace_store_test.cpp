#include "ui/trace_store.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TraceStore, TheSharedResetEmptiesWhicheverStoreIsDrawnFirst) {
    bool reset = true;
    std::int16_t trendCount = 57, profileCount = 12;
    ui::TraceStore trend(trendCount, reset), profile(profileCount, reset);
    profile.set(3, 150);

    EXPECT_TRUE(trend.takeReset());
    EXPECT_EQ(trend.at(0), 0);
    EXPECT_TRUE(std::isnan(trend.at(1)));
    EXPECT_EQ(trendCount, 0);
    EXPECT_FALSE(reset);
    // The request is used up: the other store keeps what it has.
    EXPECT_FALSE(profile.takeReset());
    EXPECT_EQ(profile.at(3), 150);
    EXPECT_EQ(profileCount, 12);
}

TEST(TraceStore, IgnoresIndexesOutsideAndScrollsAtTheEnd) {
    bool reset = false;
    std::int16_t count = 0;
    ui::TraceStore store(count, reset);
    store.set(-1, 5);
    store.set(ui::TraceStore::kSize, 5);
    EXPECT_TRUE(std::isnan(store.at(-1)));
    EXPECT_TRUE(std::isnan(store.at(ui::TraceStore::kSize)));
    store.set(ui::TraceStore::kSize - 1, 7);
    store.scrollIn(9);
    EXPECT_EQ(store.at(ui::TraceStore::kSize - 2), 7);
    EXPECT_EQ(store.at(ui::TraceStore::kSize - 1), 9);
}

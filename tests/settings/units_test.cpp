#include "settings/units.h"

#include <gtest/gtest.h>

using settings::ToCelsius;
using settings::ToFahr;

TEST(Units, ReferenceValues) {
    const std::pair<int, int> pairs[] = {{20, 68}, {80, 176}, {205, 401}, {220, 428}, {400, 752}};
    for (auto [c, f] : pairs) {
        EXPECT_EQ(ToFahr(std::int16_t(c)), f);
        EXPECT_EQ(ToCelsius(std::int16_t(f)), c);
    }
    EXPECT_EQ(ToCelsius(100), 38);
    EXPECT_EQ(ToFahr(*ToCelsius(69)), 70);  // a typed Fahrenheit value can come back one off
}

TEST(Units, CelsiusSurvivesTheRoundTripOverTheWorkingRange) {
    for (int c = -100; c <= 1000; ++c) ASSERT_EQ(ToCelsius(*ToFahr(std::int16_t(c))), c) << c;
}

TEST(Units, OverflowIsReportedNotUndefined) {
    EXPECT_FALSE(ToCelsius(32767).has_value());   // (f - 32) * 5 leaves 16 bits
    EXPECT_FALSE(ToCelsius(-32768).has_value());
    EXPECT_TRUE(ToCelsius(6585).has_value());     // 6553 * 5 = 32765 still fits
    EXPECT_FALSE(ToCelsius(6586).has_value());
    EXPECT_FALSE(ToFahr(20000).has_value());
    EXPECT_EQ(ToFahr(-40), -40);
}

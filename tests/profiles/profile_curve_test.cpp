#include "profiles/profile_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

using profiles::Alloy;
using profiles::ComputeProfileCurve;

namespace {

struct CurveCase {
    const char* name;
    std::int16_t x1, x2, x3;
    Alloy alloy;
    bool fahrenheit;
    std::vector<std::pair<int, double>> entries;  // second, value
};

void expectEmptyOutside(const profiles::CurveArray& c) {
    EXPECT_TRUE(std::isnan(c[0]));
    for (int i = 300; i < profiles::kCurveSize; ++i) EXPECT_TRUE(std::isnan(c[std::size_t(i)])) << i;
    for (int i = 1; i < 300; ++i) EXPECT_FALSE(std::isnan(c[std::size_t(i)])) << i;
}

}  // namespace

TEST(ProfileCurve, ValuesAtTheirSeconds) {
    const std::vector<CurveCase> cases = {
        {"leaded Celsius", 100, 150, 190, Alloy::Leaded, false,
         {{1, 26.5}, {50, 100}, {75, 125}, {100, 150}, {115, 170}, {130, 190}, {135, 190}, {140, 190},
          {141, 190 - 165.0 / 159}, {299, 25}}},
        // 212, 302 and 374 in the boxes; 77 at both ends.
        {"leaded Fahrenheit", 100, 150, 190, Alloy::Leaded, true,
         {{1, 77 + 135.0 / 50}, {50, 212}, {75, 257}, {100, 302}, {130, 374}, {140, 374}, {299, 77}}},
        {"lead-free Celsius", 100, 150, 190, Alloy::LeadFree, false,
         {{1, 25 + 75.0 / 60}, {60, 100}, {130, 150}, {165, 170}, {200, 190}, {205, 190}, {210, 190},
          {211, 190 - 165.0 / 89}, {299, 25}}},
        // Slopes that are not whole numbers stay unrounded.
        {"uneven slopes", 31, 32, 300, Alloy::Leaded, false,
         {{1, 25.12}, {51, 31.02}, {101, 32 + 268.0 / 30}, {130, 300}, {299, 25}}},
    };
    for (const CurveCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto curve = ComputeProfileCurve(c.x1, c.x2, c.x3, c.alloy, c.fahrenheit);
        expectEmptyOutside(curve);
        for (const auto& [second, value] : c.entries) EXPECT_NEAR(curve[std::size_t(second)], value, 1e-9) << second;
    }
}

TEST(ProfileCurve, HoldsAtX3ForTenSecondsThenFallsEverySecond) {
    for (Alloy alloy : {Alloy::Leaded, Alloy::LeadFree}) {
        const auto t = profiles::curveTimes(alloy);
        const auto curve = ComputeProfileCurve(120, 170, 230, alloy, false);
        EXPECT_EQ(t.holdEnd, t.x3 + 10);
        for (int i = t.x3; i <= t.holdEnd; ++i) EXPECT_NEAR(curve[std::size_t(i)], 230, 1e-9) << i;
        EXPECT_LT(curve[std::size_t(t.x3 - 1)], 230);
        for (int i = t.holdEnd + 1; i <= 299; ++i) EXPECT_LT(curve[std::size_t(i)], curve[std::size_t(i - 1)]) << i;
    }
    EXPECT_EQ(profiles::curveTimes(Alloy::Leaded).x1, 50);
    EXPECT_EQ(profiles::curveTimes(Alloy::LeadFree).x3, 200);
}

TEST(ProfileCurve, DisplayTemperatures) {
    const struct {
        std::int16_t celsius;
        bool fahrenheit;
        double shown;
    } cases[] = {
        {150, true, 302}, {25, true, 77}, {-40, true, -40}, {150, false, 150},
        {20000, true, 36032},  // beyond 16 bits in Fahrenheit: still converted, not wrapped
        {-32768, true, -58950},
    };
    for (const auto& c : cases)
        EXPECT_EQ(profiles::displayTemperature(c.celsius, c.fahrenheit), c.shown) << c.celsius << " " << c.fahrenheit;
}

#include "core/temperature_bytes.h"

#include <gtest/gtest.h>

TEST(TemperatureBytes, SplitKeepsTheLowByteInRangeAndJoinsBack) {
    struct Case {
        int value, high, low;
    } cases[] = {{205, 0, 205}, {255, 0, 255}, {256, 1, 0}, {397, 1, 141}, {260, 1, 4},
                 {0, 0, 0},     {-1, -1, 255}, {-256, -1, 0}, {-257, -2, 255}, {32767, 127, 255}};
    for (const Case& c : cases) {
        const core::TemperatureBytes b = core::splitTemperature(c.value);
        EXPECT_EQ(b.high, c.high) << c.value;
        EXPECT_EQ(b.low, c.low) << c.value;
        EXPECT_EQ(core::joinTemperature(b.high, b.low), c.value);
    }
}

#include "simulator/thermal_model.h"

#include <gtest/gtest.h>

using simulator::ThermalModel;

namespace {
// Runs the model for the given seconds with fixed inputs; checks the direction of
// every step and returns the final temperature.
double run(ThermalModel& m, std::int64_t& t, int lower, int upper, bool fan, int seconds, int direction,
           double* maxRate = nullptr) {
    m.setInputs(t, lower, upper, fan);
    double prev = m.temperature();
    for (int s = 0; s < seconds; ++s) {
        t += 1000;
        m.advanceTo(t);
        const double now = m.temperature();
        if (direction > 0) EXPECT_GE(now, prev) << "at " << s << " s";
        if (direction < 0) EXPECT_LE(now, prev) << "at " << s << " s";
        if (maxRate) *maxRate = std::max(*maxRate, std::abs(now - prev));
        prev = now;
    }
    return prev;
}
}  // namespace

TEST(ThermalModel, PlateausLieInTheRangesOfARealStation) {
    struct Case {
        int lower, upper;
        double lo, hi;
    } cases[] = {{2, 1, 140, 160}, {3, 2, 220, 240}, {4, 3, 280, 400}};
    for (const auto& c : cases) {
        ThermalModel m;
        std::int64_t t = 0;
        double maxRate = 0;
        const double plateau = run(m, t, c.lower, c.upper, false, 1500, +1, &maxRate);
        EXPECT_GE(plateau, c.lo) << c.lower << "/" << c.upper;
        EXPECT_LE(plateau, c.hi) << c.lower << "/" << c.upper;
        EXPECT_GE(maxRate, 1.0);
        EXPECT_LE(maxRate, 3.0);
    }
}

TEST(ThermalModel, SwitchingOffCoolsTowardAmbientAndTheFanCoolsAboutTwiceAsFast) {
    ThermalModel still, fanned;
    std::int64_t t1 = 0, t2 = 0;
    run(still, t1, 3, 2, false, 1500, +1);
    run(fanned, t2, 3, 2, false, 1500, +1);
    const double start = still.temperature();
    const double a = run(still, t1, 1, 1, false, 10, -1);
    const double b = run(fanned, t2, 1, 1, true, 10, -1);
    EXPECT_GT(start - a, 0);
    const double ratio = (start - b) / (start - a);
    EXPECT_GT(ratio, 1.8);
    EXPECT_LT(ratio, 2.2);
    run(still, t1, 1, 1, false, 3000, -1);
    EXPECT_NEAR(still.temperature(), ThermalModel::kAmbientC, 1.0);
}

TEST(ThermalModel, SteppingInManySmallStepsOrOneBigStepAgrees) {
    ThermalModel a, b;
    a.setInputs(0, 3, 2, false);
    b.setInputs(0, 3, 2, false);
    for (int ms = 100; ms <= 60000; ms += 100) a.advanceTo(ms);
    b.advanceTo(60000);
    EXPECT_NEAR(a.temperature(), b.temperature(), 1e-9);
}

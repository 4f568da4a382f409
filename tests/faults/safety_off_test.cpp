// The fault simulation must notice a program without its safety rule: the poller gets a
// rule that never fires.
#include "tests/support/fault_simulation.h"
#include "tests/support/poller_rig.h"

#include <gtest/gtest.h>

TEST(SafetyRuleOff, TheFaultSimulationCatchesItWithinAHundredSeeds) {
    int caughtAt = 0;
    std::string why;
    for (int seed = 1; seed <= 100 && !caughtAt; ++seed) {
        testsupport::PollerRig rig(7, std::uint64_t(seed));
        rig.poller.setSafetyRule([](const core::SharedState&) { return false; });
        testsupport::RunView view{rig.state, rig.clock, rig.station, rig.link, rig.poller,
                                  testsupport::requestTablePresser(rig.state), 6};
        const auto r = testsupport::runFaultSimulation(view, {std::uint64_t(seed), 10, 0.02});
        if (!r.ok) {
            caughtAt = seed;
            why = r.failure;
        }
    }
    ASSERT_NE(caughtAt, 0) << "a program without the safety rule passed 100 seeds";
    EXPECT_NE(why.find("safety"), std::string::npos) << why;
    std::printf("caught at seed %d: %s\n", caughtAt, why.c_str());
}

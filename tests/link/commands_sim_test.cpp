// Every command against the simulated station: the station must accept every frame as
// well formed and well paced, and the program must understand every answer.
#include "link/link.h"
#include "platform/virtual_clock.h"
#include "simulator/sim_bridge.h"

#include <gtest/gtest.h>

namespace {
struct AgainstStation : ::testing::TestWithParam<int> {
    platform::VirtualClock clock;
    simulator::SimStation station{clock, GetParam()};
    simulator::SimBridge bridge{station};
    core::SharedState state;
    stationlink::Link link{state, bridge, clock};

    void TearDown() override {
        for (const auto& v : station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
        EXPECT_TRUE(state.Diagnostics.lines().isEmpty()) << state.Diagnostics.lines().join(" | ").toStdString();
    }
    bool run(void (stationlink::Link::*cmd)()) {
        state.CommandSucceeded = false;
        (link.*cmd)();
        clock.advance(10);
        return state.CommandSucceeded;
    }
};
}  // namespace

TEST_P(AgainstStation, EveryCommandRoundTrips) {
    ASSERT_TRUE(link.OpenStationPort());
    ASSERT_TRUE(run(&stationlink::Link::ReadIdentification));
    EXPECT_EQ(state.FirmwareVersion, GetParam());
    EXPECT_EQ(state.MachineId, "06370742");
    ASSERT_TRUE(run(&stationlink::Link::ReadSettings));
    EXPECT_EQ(state.MachineSettings[8], 205);

    state.MachineSettings[7] = 1;
    state.MachineSettings[8] = 141;
    ASSERT_TRUE(run(&stationlink::Link::WriteSettings));
    EXPECT_TRUE(state.SettingsWritten);
    EXPECT_EQ(station.settings()[7], 1);
    EXPECT_EQ(station.settings()[8], 141);

    EXPECT_TRUE(run(&stationlink::Link::UpperHeaterUp));
    EXPECT_TRUE(run(&stationlink::Link::LowerHeaterUp));
    EXPECT_TRUE(run(&stationlink::Link::LowerHeaterUp));
    EXPECT_EQ(station.upperLevel(), 2);
    EXPECT_EQ(station.lowerLevel(), 3);
    EXPECT_TRUE(run(&stationlink::Link::UpperHeaterDown));
    EXPECT_TRUE(run(&stationlink::Link::LowerHeaterDown));
    run(&stationlink::Link::Fan);
    EXPECT_TRUE(station.fanOn());
    run(&stationlink::Link::ClearLog);
    EXPECT_EQ(station.logClears(), 1);

    ASSERT_TRUE(run(&stationlink::Link::PollStatus));
    EXPECT_EQ(state.UpperHeaterMode, 1);
    EXPECT_EQ(state.LowerHeaterMode, 2);
    EXPECT_EQ(state.FanState, 1);
    EXPECT_EQ(state.MachineMode, 1);
    EXPECT_TRUE(state.PcbTemperatureValid);

    state.ReleaseDone = false;
    link.SignOff();
    EXPECT_TRUE(state.ReleaseDone);
    EXPECT_TRUE(station.signedOff());
}

INSTANTIATE_TEST_SUITE_P(Firmware, AgainstStation, ::testing::Values(5, 6, 7));

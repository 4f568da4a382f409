#include "tests/link/link_fixture.h"

using Calls = std::vector<std::string>;

namespace {
struct PortSetup : ::testing::Test {
    platform::VirtualClock clock;
    core::SharedState state;
    testsupport::ScriptedBridge bridge{clock};
    stationlink::Link link{state, bridge, clock};
};
}  // namespace

TEST_F(PortSetup, OpensAndConfiguresInOrderWithTheFixedValues) {
    EXPECT_TRUE(link.OpenStationPort());
    EXPECT_EQ(bridge.calls, (Calls{"close", "open 0", "baud 115200", "data 8 0 0", "flow 256 0 0", "purge 2",
                                   "purge 1", "latency 1"}));
    EXPECT_EQ(state.DeviceHandle, bridge.handle());
    EXPECT_TRUE(state.Diagnostics.lines().isEmpty());  // the never-opened handle's close is not news
}

TEST_F(PortSetup, NoBridgeAttachedFailsSilently) {
    bridge.attached = false;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(link.OpenStationPort());
    EXPECT_TRUE(state.Diagnostics.lines().isEmpty());
}

TEST_F(PortSetup, FailingStepWritesOneLineAndStops) {
    struct Step {
        const char* op;
        const char* text;
        const char* lastCall;
    } steps[] = {
        {"baud", "BaudRate Failed", "baud 115200"},
        {"data", "Parameters set Failed", "data 8 0 0"},
        {"flow", "Flow set Failed", "flow 256 0 0"},
        {"purge2", "Clear Tx Buffer Failed", "purge 2"},
        {"purge1", "Clear Rx Buffer Failed", "purge 1"},
        {"latency", "Setting Latency Timer Failed", "latency 1"},
    };
    for (const Step& s : steps) {
        state.Diagnostics.clear();
        bridge.calls.clear();
        bridge.failOp(s.op, 1);
        EXPECT_FALSE(link.OpenStationPort()) << s.op;
        EXPECT_EQ(state.Diagnostics.lines(), QStringList{s.text}) << s.op;
        EXPECT_TRUE(bridge.isOpen()) << s.op;  // left open; the next attempt closes it
        EXPECT_EQ(bridge.calls.back(), s.lastCall) << "later steps must not run after " << s.op;
    }
}

TEST_F(PortSetup, FailingCloseOfAnOpenHandleIsReportedAndTheOpenStillHappens) {
    ASSERT_TRUE(link.OpenStationPort());
    bridge.failOp("close", 1);
    EXPECT_TRUE(link.OpenStationPort());
    EXPECT_EQ(state.Diagnostics.lines(), QStringList{"Port CLose Failed"});
}

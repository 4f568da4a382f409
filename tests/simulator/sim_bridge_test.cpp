#include "simulator/sim_bridge.h"

#include "platform/virtual_clock.h"

#include <gtest/gtest.h>

using platform::BridgeHandle;

TEST(SimBridge, OpenFailsWhileUnplugAndStaleHandlesFail) {
    platform::VirtualClock clock;
    simulator::SimStation station(clock);
    simulator::SimBridge bridge(station);
    BridgeHandle h = 0;
    station.unplug();
    EXPECT_NE(bridge.open(0, h), 0);
    station.replug();
    ASSERT_EQ(bridge.open(0, h), 0);
    EXPECT_EQ(bridge.setBaudRate(h, 115200), 0);
    station.unplug();
    std::uint32_t n = 0;
    EXPECT_NE(bridge.getQueueStatus(h, n), 0);
    station.replug();
    EXPECT_NE(bridge.getQueueStatus(h, n), 0);  // the old connection is gone
    EXPECT_EQ(bridge.close(h), 0);
    EXPECT_NE(bridge.close(h), 0);  // closing twice fails
}

TEST(SimBridge, QueueStatusCountsWhatHasArrivedByNow) {
    platform::VirtualClock clock;
    simulator::SimStation station(clock);
    simulator::SimBridge bridge(station);
    BridgeHandle h = 0;
    ASSERT_EQ(bridge.open(0, h), 0);
    std::uint32_t written = 0;
    for (std::uint8_t b : {0xAA, 0x02, 0x01, 0x01}) {
        ASSERT_EQ(bridge.write(h, &b, 1, written), 0);
        clock.advance(10);
    }
    std::uint32_t n = 99;
    ASSERT_EQ(bridge.getQueueStatus(h, n), 0);
    EXPECT_EQ(n, 10u);  // the answer came 3 ms after the last byte
    std::uint8_t byte = 0;
    std::uint32_t got = 0;
    EXPECT_EQ(bridge.read(h, &byte, 1, got), 0);
    EXPECT_EQ(byte, 0x55);
    EXPECT_EQ(bridge.purge(h, platform::kPurgeRx), 0);
    EXPECT_EQ(bridge.getQueueStatus(h, n), 0);
    EXPECT_EQ(n, 0u);
}

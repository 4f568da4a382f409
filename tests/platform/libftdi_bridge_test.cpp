#include "platform/libftdi_bridge.h"

#include <gtest/gtest.h>

// Runs on machines without a station: the bridge must fail cleanly and never pretend.
TEST(LibFtdiBridge, WithNoDeviceEverythingFailsCleanly) {
    platform::LibFtdiBridge bridge;
    platform::BridgeHandle handle = 0;
    if (bridge.open(0, handle) == 0) {
        bridge.close(handle);
        GTEST_SKIP() << "an FTDI device is attached";
    }
    EXPECT_NE(bridge.close(handle), 0);  // nothing is open
    EXPECT_NE(bridge.close(12345), 0);
    std::uint32_t n = 99;
    EXPECT_NE(bridge.getQueueStatus(handle, n), 0);
    std::uint8_t byte = 0xAA;
    std::uint32_t written = 7;
    EXPECT_NE(bridge.write(handle, &byte, 1, written), 0);
    EXPECT_EQ(written, 0u);
    EXPECT_NE(bridge.setBaudRate(handle, 115200), 0);
    EXPECT_NE(bridge.purge(handle, platform::kPurgeRx), 0);
}

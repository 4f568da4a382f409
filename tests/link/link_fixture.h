#pragma once
#include "core/shared_state.h"
#include "link/link.h"
#include "platform/virtual_clock.h"
#include "tests/support/qt_printers.h"
#include "tests/support/scripted_bridge.h"

#include <gtest/gtest.h>

// A link over the scripted bridge with the port already open, as the poller leaves it.
struct LinkFixture : ::testing::Test {
    platform::VirtualClock clock;
    core::SharedState state;
    testsupport::ScriptedBridge bridge{clock};
    stationlink::Link link{state, bridge, clock};

    void SetUp() override {
        ASSERT_EQ(bridge.open(0, state.DeviceHandle), 0);
        state.PortOpen = true;
        state.FirmwareVersion = 7;
        bridge.calls.clear();
    }
    QStringList lines() const { return state.Diagnostics.lines(); }
};

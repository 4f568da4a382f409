#pragma once
#include "core/shared_state.h"
#include "link/link.h"
#include "link/poller.h"
#include "settings/settings_file.h"
#include "platform/virtual_clock.h"
#include "simulator/sim_bridge.h"
#include "tests/support/recording_display.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testsupport {

// The link and its poller against a simulated station, on virtual time, with a
// recording display and a settings file in a temporary program folder.
struct PollerRig {
    explicit PollerRig(int firmware = 7, std::uint64_t seed = 1)
        : station(clock, firmware, seed),
          bridge(station),
          file(state, dir.filePath("program"), dir.filePath("user")),
          link(state, bridge, clock),
          poller(state, link, shell, display, file) {
        QDir().mkpath(dir.filePath("program"));
        file.Read_INI();  // the defaults
        state.ConnectRequested = false;
    }

    // Runs until n more ticks have done their work.
    bool runTicks(int n) {
        const auto target = poller.ticksRun() + std::uint64_t(n);
        return clock.runUntil([&] { return poller.ticksRun() >= target && !state.PollerBusy; },
                              std::int64_t(n) * 30000);
    }
    void connect() {
        state.ConnectRequested = true;
        ASSERT_TRUE(runTicks(1));
    }
    void expectNoViolations() {
        for (const auto& v : station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
    }

    QTemporaryDir dir;
    platform::VirtualClock clock;
    simulator::SimStation station;
    simulator::SimBridge bridge;
    core::SharedState state;
    settings::SettingsFile file;
    stationlink::Link link;
    CountingShell shell;
    RecordingDisplay display;
    stationlink::Poller poller;
};

}  // namespace testsupport

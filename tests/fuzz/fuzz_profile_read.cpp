// libFuzzer target: any bytes the station might answer a profile read with, for any slot
// number, must be checked and decoded without crashing or hanging; what a failed read
// leaves must not claim to be done.
#include "link/link.h"
#include "link/profile_transfer.h"
#include "platform/virtual_clock.h"
#include "tests/support/recording_display.h"
#include "tests/support/scripted_bridge.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    platform::VirtualClock clock;
    core::SharedState state;
    testsupport::ScriptedBridge bridge(clock);
    testsupport::RecordingDisplay display;
    stationlink::Link link(state, bridge, clock);
    stationlink::StationProfiles profiles(link, display);
    bridge.open(0, state.DeviceHandle);
    state.PortOpen = true;
    state.Transfer.ProfileNumber = std::int16_t(data[0] % 5);
    bridge.replyWith(std::vector<std::uint8_t>(data + 1, data + size), 2);
    profiles.ReadStationProfile();
    // A read is done only with a whole, well-formed reply of 85 bytes.
    if (state.Transfer.ReadDone && size - 1 < 85) std::abort();
    return 0;
}

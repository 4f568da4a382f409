// libFuzzer target: any bytes the station might answer with, to any command, with any
// firmware version, must be checked and decoded without crashing or hanging.
#include "link/link.h"
#include "link/reply_decode.h"
#include "platform/virtual_clock.h"
#include "tests/support/scripted_bridge.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    platform::VirtualClock clock;
    core::SharedState state;
    testsupport::ScriptedBridge bridge(clock);
    stationlink::Link link(state, bridge, clock);
    bridge.open(0, state.DeviceHandle);
    state.PortOpen = true;
    state.FirmwareVersion = data[1];
    for (std::size_t i = 0; i < 16 && i + 3 < size; ++i) state.MachineSettings[i] = data[i + 3];

    // The reply may come in two parts, the second one late.
    const std::size_t split = 3 + (size > 3 ? data[2] % (size - 2) : 0);
    bridge.replyWith(std::vector<std::uint8_t>(data + 3, data + std::min(split, size)), 2);

    using Cmd = void (stationlink::Link::*)();
    static const Cmd commands[] = {
        &stationlink::Link::PollStatus,      &stationlink::Link::ReadIdentification, &stationlink::Link::ReadSettings,
        &stationlink::Link::WriteSettings,   &stationlink::Link::UpperHeaterUp,      &stationlink::Link::UpperHeaterDown,
        &stationlink::Link::LowerHeaterUp,   &stationlink::Link::LowerHeaterDown,    &stationlink::Link::Fan,
        &stationlink::Link::ClearLog,        &stationlink::Link::SignOff,
    };
    (link.*commands[data[0] % 11])();
    if (split < size) {
        bridge.replyWith(std::vector<std::uint8_t>(data + split, data + size), 1);
        if (!bridge.isOpen()) bridge.open(0, state.DeviceHandle);
        (link.*commands[(data[0] / 11) % 11])();
    }

    // The decoders on their own, over a buffer holding the same bytes.
    stationlink::ReplyBuffer reply{};
    for (std::size_t i = 0; i < size && i + 1 < reply.size(); ++i) reply[i + 1] = data[i];
    stationlink::decodeStatus(reply, state);
    stationlink::decodeIdentification(reply, state);
    stationlink::decodeSettings(reply, state);
    if (state.LowerHeaterMode < 0 || state.LowerHeaterMode > 5) __builtin_trap();
    if (state.UpperHeaterMode < 0 || state.UpperHeaterMode > 4) __builtin_trap();
    return 0;
}

// libFuzzer target: any 81 bytes in a profile slot must decode into a transfer record and
// encode back to the same bytes (the texts are stored as they are, byte for byte).
#include "link/profile_payload.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    stationlink::ProfilePayload payload{};
    std::copy(data, data + std::min(size, payload.size()), payload.begin());
    core::ProfileTransfer t;
    stationlink::decodeNameAndReadBack(payload, t);
    stationlink::decodeTemperaturesAndMessages(payload, t);
    for (int point = 1; point <= 3; ++point) (void)stationlink::profileTemperature(t, point);
    (void)stationlink::profileWriteErrorText(payload, int(size % 100) - 10);
    const stationlink::ProfilePayload again = stationlink::encodeProfilePayload(t);
    // Name, temperatures and messages come back as they were; the mode bytes keep their codes.
    if (!std::equal(payload.begin(), payload.begin() + stationlink::kPayloadModes, again.begin())) std::abort();
    return 0;
}

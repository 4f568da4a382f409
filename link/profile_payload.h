#pragma once
#include "core/profile_transfer.h"

#include <array>
#include <cstdint>

namespace stationlink {

// The 81 bytes a profile slot holds, as the write command sends them and the read reply
// returns them: name (12), X1..X3 temperatures high then low byte, three messages (20
// each), and per point a mode byte = L.H. code x 16 + U.H. code.
constexpr int kProfilePayloadSize = 81;
using ProfilePayload = std::array<std::uint8_t, kProfilePayloadSize>;

// Texts shorter than their field are padded with blanks, longer ones cut.
ProfilePayload encodeProfilePayload(const core::ProfileTransfer& profile);

// Where a payload byte sits, for texts that name the character being sent.
enum class PayloadField { Name, Temperature, Message, Mode };
PayloadField payloadField(int index);

}  // namespace stationlink

#pragma once
#include "core/profile_transfer.h"
#include "link/frame.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace stationlink {

// The 81 bytes a station profile slot holds, the same in the write command and in the
// read reply: name (12), X1..X3 temperature high and low bytes (6), three messages (20
// each), three mode bytes.
constexpr int kProfileNameLength = 12;
constexpr int kProfileMessageLength = 20;
constexpr int kProfilePayloadSize = 81;
constexpr int kPayloadTemperatures = 12;  // X1High, X1Low, X2High, ...
constexpr int kPayloadMessages = 18;      // X1Message, X2Message, X3Message
constexpr int kPayloadModes = 78;         // X1, X2, X3 mode bytes
using ProfilePayload = std::array<std::uint8_t, kProfilePayloadSize>;

// Packet length of the profile write: the opcode and the 81 payload bytes.
constexpr std::uint8_t kProfileWriteLength = 1 + kProfilePayloadSize;

// Slot 1..3 to the write opcode (0xA5..0xA7) and the read opcode (0xE5..0xE7); none
// for any other number.
std::optional<std::uint8_t> profileWriteOpcode(int slot);
std::optional<std::uint8_t> profileReadOpcode(int slot);

// L.H. code in the high four bits, U.H. code in the low four.
constexpr std::uint8_t profileModeByte(std::uint8_t lowerCode, std::uint8_t upperCode) {
    return static_cast<std::uint8_t>(((lowerCode & 0x0F) << 4) | (upperCode & 0x0F));
}
// What a read-back mode byte gives: the U.H. code, and the L.H. code times 50.
constexpr std::int16_t upperCodeRead(std::uint8_t mode) { return std::int16_t(mode & 15); }
constexpr std::int16_t lowerCodeRead(std::uint8_t mode) { return std::int16_t(((mode & 240) / 16) * 50); }

// Point 1..3 of a transfer record as whole degrees Celsius, and back. A value outside
// 0..65535 does not fit the two bytes and is refused.
int profileTemperature(const core::ProfileTransfer& t, int point);
bool setProfileTemperature(core::ProfileTransfer& t, int point, int celsius);

// The payload of a transfer record. The name is padded with spaces (or cut) to 12
// characters and each message to 20, so the frame always has its fixed layout.
ProfilePayload encodeProfilePayload(const core::ProfileTransfer& t);

// Decoding a payload into a transfer record, in the two parts the read stores at
// different moments: the name and the read-back heater codes (stored while summing,
// before the checksum verdict), then the temperatures and the messages (only once the
// reply is accepted).
void decodeNameAndReadBack(const ProfilePayload& payload, core::ProfileTransfer& t);
void decodeTemperaturesAndMessages(const ProfilePayload& payload, core::ProfileTransfer& t);
// The payload of a profile read reply: reply buffer indices 5..85.
ProfilePayload profilePayloadOfReply(const ReplyBuffer& reply);

// The diagnostic line for a failed write of payload byte `index` of the profile write:
// the step's number, followed directly by the decimal code of a character (the one
// being sent for name and message bytes, the twelfth name character for the
// temperatures, the last X3 message character for the mode bytes).
QString profileWriteErrorText(const ProfilePayload& payload, int index);

}  // namespace stationlink

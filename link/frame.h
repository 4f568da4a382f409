#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace stationlink {

using ReplyBuffer = std::array<std::uint8_t, 101>;

constexpr std::uint8_t kStartByte = 0xAA;
constexpr std::uint8_t kAckByte = 0x55;

// (packet length + opcode + every payload byte) mod 256; packet length = 1 + payload.
std::uint8_t frameChecksum(std::uint8_t opcode, std::span<const std::uint8_t> payload);
// AA, checksum, packet length, opcode, payload.
std::vector<std::uint8_t> buildFrame(std::uint8_t opcode, std::span<const std::uint8_t> payload = {});
// The checksum a reply of n bytes should carry: indices 3..n of the buffer, mod 256.
std::uint8_t replyChecksum(const ReplyBuffer& reply, int n);

}  // namespace stationlink

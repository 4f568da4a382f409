#include "link/frame.h"

namespace stationlink {

std::uint8_t frameChecksum(std::uint8_t opcode, std::span<const std::uint8_t> payload) {
    unsigned sum = 1u + unsigned(payload.size()) + opcode;
    for (std::uint8_t b : payload) sum += b;
    return static_cast<std::uint8_t>(sum % 256);
}

std::vector<std::uint8_t> buildFrame(std::uint8_t opcode, std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> frame;
    frame.reserve(4 + payload.size());
    frame.push_back(kStartByte);
    frame.push_back(frameChecksum(opcode, payload));
    frame.push_back(static_cast<std::uint8_t>(1 + payload.size()));
    frame.push_back(opcode);
    for (std::uint8_t b : payload) frame.push_back(b);
    return frame;
}

std::uint8_t replyChecksum(const ReplyBuffer& reply, int n) {
    unsigned sum = 0;
    for (int i = 3; i <= n && i < int(reply.size()); ++i) sum += reply[std::size_t(i)];
    return static_cast<std::uint8_t>(sum % 256);
}

}  // namespace stationlink

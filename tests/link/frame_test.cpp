#include "link/frame.h"

#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

TEST(Frame, CommandsWithoutPayloadAreFourBytes) {
    EXPECT_EQ(stationlink::buildFrame(0xF9), (Bytes{0xAA, 0xFA, 0x01, 0xF9}));
    EXPECT_EQ(stationlink::buildFrame(0x01), (Bytes{0xAA, 0x02, 0x01, 0x01}));
    EXPECT_EQ(stationlink::buildFrame(0xFF), (Bytes{0xAA, 0x00, 0x01, 0xFF}));  // wraps
}

TEST(Frame, ChecksumIsTheSumModulo256) {
    // Length 14, opcode 0x50, thirteen payload bytes summing to 1000.
    Bytes payload(13, 76);
    payload[12] = 1000 - 12 * 76;
    const Bytes f = stationlink::buildFrame(0x50, payload);
    ASSERT_EQ(f.size(), 17u);
    EXPECT_EQ(f[1], 70);
    EXPECT_EQ(f[2], 14);
}

TEST(Frame, ReplyChecksumCoversLengthOpcodeAndData) {
    stationlink::ReplyBuffer r{};
    const Bytes reply{0x55, 0, 7, 1, 0x2C, 0x01, 1, 2, 1, 0};
    for (std::size_t i = 0; i < reply.size(); ++i) r[i + 1] = reply[i];
    EXPECT_EQ(stationlink::replyChecksum(r, 10), (7 + 1 + 0x2C + 1 + 1 + 2 + 1) % 256);
}

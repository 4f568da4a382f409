#include "tests/link/link_fixture.h"

using testsupport::replyOf;
using Bytes = std::vector<std::uint8_t>;

struct Timing : LinkFixture {
    // Milliseconds from the first byte written to the end of the command.
    std::int64_t timed(void (stationlink::Link::*cmd)()) {
        const std::int64_t t0 = clock.nowMs();
        (link.*cmd)();
        return clock.nowMs() - t0;
    }
    void expectPaced() {
        for (std::size_t i = 1; i < bridge.writeTimes.size(); ++i)
            EXPECT_GE(bridge.writeTimes[i] - bridge.writeTimes[i - 1], 10) << "byte " << i;
    }
};

TEST_F(Timing, FramesGoOutByteExactWithTenMillisecondsAfterEveryByte) {
    bridge.replyWith(replyOf(0xF9));
    const auto t = timed(&stationlink::Link::ClearLog);
    EXPECT_EQ(bridge.written, (Bytes{0xAA, 0xFA, 0x01, 0xF9}));
    EXPECT_GE(t, 40);
    expectPaced();

    bridge.written.clear();
    bridge.writeTimes.clear();
    bridge.replyWith(replyOf(0x01, {25, 0, 1, 1, 1, 0}));
    link.PollStatus();
    EXPECT_EQ(bridge.written, (Bytes{0xAA, 0x02, 0x01, 0x01}));
    EXPECT_EQ(link.Timer1().interval(), 2000);  // back from 50
}

TEST_F(Timing, SettingsWriteWithFirmwareFiveSendsSeventeenBytesAndReadsNothing) {
    state.FirmwareVersion = 5;
    for (int i = 0; i < 16; ++i) state.MachineSettings[std::size_t(i)] = std::uint8_t(i + 1);
    const int queueBefore = bridge.queueCalls;
    link.WriteSettings();
    EXPECT_TRUE(state.CommandSucceeded);
    EXPECT_TRUE(state.SettingsWritten);
    ASSERT_EQ(bridge.written.size(), 17u);
    EXPECT_EQ((Bytes{bridge.written.begin(), bridge.written.begin() + 4}),
              (Bytes{0xAA, std::uint8_t((14 + 0x50 + 91) % 256), 14, 0x50}));
    EXPECT_EQ(bridge.written.back(), 13);
    EXPECT_EQ(bridge.queueCalls, queueBefore);
    expectPaced();
    EXPECT_EQ(bridge.setupCalls(), (std::vector<std::string>{"purge 2", "purge 1"}));
}

TEST_F(Timing, ReplyTimeoutsInVirtualTime) {
    // Status poll: 4 bytes at 10 ms each, then 50 ms of waiting, then the close pause.
    auto t = timed(&stationlink::Link::PollStatus);
    EXPECT_GE(t, 40 + 50);
    EXPECT_LE(t, 40 + 50 + stationlink::Link::kShortPauseMs + 5);

    ASSERT_EQ(bridge.open(0, state.DeviceHandle), 0);
    t = timed(&stationlink::Link::UpperHeaterUp);
    EXPECT_GE(t, 40 + 2000);
    EXPECT_LE(t, 40 + 2005);
    EXPECT_EQ(lines().back(), "Timeout 804");

    state.FirmwareVersion = 6;
    t = timed(&stationlink::Link::WriteSettings);
    EXPECT_GE(t, 17 * 10 + 10000);
    EXPECT_LE(t, 17 * 10 + 10005);
    EXPECT_EQ(link.Timer1().interval(), 10000);  // left at 10000
}

TEST_F(Timing, ASecondTransactionDuringAWaitIsRefusedWithoutTouchingTheLink) {
    std::size_t callsDuring = 0, writesDuring = 0;
    bool flagDuring = true;
    clock.schedule(25, [&] {
        // A handler that runs while the first command waits for its pacing tick.
        const std::size_t calls = bridge.calls.size();
        const std::size_t writes = bridge.written.size();
        state.CommandSucceeded = false;
        link.UpperHeaterDown();
        flagDuring = state.CommandSucceeded;
        callsDuring = bridge.calls.size() - calls;
        writesDuring = bridge.written.size() - writes;
    });
    bridge.replyWith(replyOf(0xF1), 30);
    link.UpperHeaterUp();
    EXPECT_FALSE(flagDuring);
    EXPECT_EQ(callsDuring, 0u);
    EXPECT_EQ(writesDuring, 0u);
    EXPECT_TRUE(state.CommandSucceeded);  // the first one finished normally
    EXPECT_EQ(bridge.written, (Bytes{0xAA, 0xF2, 0x01, 0xF1}));
    ASSERT_EQ(lines().size(), 1);
    EXPECT_TRUE(lines()[0].contains("refused"));
}

// How long a transaction waits for its reply, and how it stops when the program ends.
#include "tests/link/link_fixture.h"

using testsupport::replyOf;

namespace {

struct ReplyWait : LinkFixture {};

struct QueuedReply {
    int replyDelayMs;     // after the frame's last byte (written at 30 ms)
    std::int64_t pollMs;  // the whole status poll
    int queueCalls;       // one per reply byte when nothing has to be waited for
};

}  // namespace

TEST_F(ReplyWait, AReplyAlreadyQueuedIsReadAtOnceAndALateOneAsSoonAsItArrives) {
    const std::vector<QueuedReply> cases = {
        {2, 40, 10},   // queued before the last pacing tick ends: the poll takes its 40 ms floor
        {10, 40, 10},  // arrives with the last pacing tick
        {25, 55, 10 + 15},  // 15 ms late: one queue check per millisecond of waiting, then none
    };
    for (const QueuedReply& c : cases) {
        SCOPED_TRACE(c.replyDelayMs);
        bridge.replyWith(replyOf(0x01, {25, 0, 1, 1, 1, 0}), c.replyDelayMs);
        const int queueBefore = bridge.queueCalls;
        const std::int64_t t0 = clock.nowMs();
        state.CommandSucceeded = false;
        link.PollStatus();
        EXPECT_TRUE(state.CommandSucceeded);
        EXPECT_EQ(clock.nowMs() - t0, c.pollMs);
        EXPECT_EQ(bridge.queueCalls - queueBefore, c.queueCalls);
        EXPECT_EQ(state.PcbTemperature, 25);
    }
    EXPECT_TRUE(lines().isEmpty()) << lines().join(" | ").toStdString();
}

namespace {
struct EndDuring {
    const char* wait;
    int atMs;
    QStringList linesBefore;  // what the poll had written when the end began
};
}  // namespace

TEST_F(ReplyWait, TheEndStopsAPendingStatusPollWhereverItWaits) {
    // A silent station: 4 bytes paced to 40 ms, the 50 ms reply wait, then the timeout's
    // line, the close and the 20 ms pause.
    const std::vector<EndDuring> cases = {
        {"pacing wait", 25, {}},
        {"reply wait", 65, {}},
        {"pause after the close", 95, {"Flush 1 occurrred"}},
    };
    for (const EndDuring& c : cases) {
        SCOPED_TRACE(c.wait);
        platform::VirtualClock endingClock;
        core::SharedState s;
        testsupport::ScriptedBridge b{endingClock};
        stationlink::Link l{s, b, endingClock};
        ASSERT_EQ(b.open(0, s.DeviceHandle), 0);
        s.PortOpen = true;

        std::size_t callsAtEnd = 0;
        endingClock.schedule(c.atMs, [&] {
            callsAtEnd = b.calls.size();
            endingClock.endWaits();
        });
        EXPECT_THROW(l.PollStatus(), platform::ProgramEnding);
        EXPECT_EQ(endingClock.nowMs(), c.atMs);  // not one step further
        EXPECT_EQ(b.calls.size(), callsAtEnd);
        EXPECT_EQ(s.Diagnostics.lines(), c.linesBefore);
        EXPECT_FALSE(s.CommandSucceeded);
        EXPECT_FALSE(s.TransactionActive);
        EXPECT_FALSE(l.Timer1().enabled());
    }
}

TEST_F(ReplyWait, NoCommandStartsOnceTheProgramIsEnding) {
    clock.endWaits();
    EXPECT_THROW(link.UpperHeaterUp(), platform::ProgramEnding);
    EXPECT_THROW(link.SignOff(), platform::ProgramEnding);
    EXPECT_TRUE(bridge.calls.empty());
    EXPECT_TRUE(lines().isEmpty());
}

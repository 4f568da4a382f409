// The profile write and read over the scripted bridge: every row of both failure tables,
// the write's frame and pacing, the bad slot numbers, and what the read stores when.
#include "link/profile_payload.h"
#include "link/profile_transfer.h"
#include "tests/link/link_fixture.h"
#include "tests/support/recording_display.h"

#include <QRegularExpression>

using namespace stationlink;
using testsupport::replyOf;
using Bytes = std::vector<std::uint8_t>;

namespace {

void fillNorthBridge(core::ProfileTransfer& t, int slot) {
    t.ProfileNumber = std::int16_t(slot);
    t.Name = "NORTH BRIDGE";
    setProfileTemperature(t, 1, 60);
    setProfileTemperature(t, 2, 140);
    setProfileTemperature(t, 3, 180);
    t.X1Message = " MOVE U.H. NOW ...  ";
    t.X2Message = "   SWITCH PUMP ON   ";
    t.X3Message = " PICK COMPONENT NOW ";
    t.X1LowerCode = 8, t.X1UpperCode = 1;
    t.X2LowerCode = 10, t.X2UpperCode = 2;
    t.X3LowerCode = 8, t.X3UpperCode = 2;
}

// A slot as a station would hold it: LEADFREE-like, 260 degrees at X3, mode bytes A1 and 41.
ProfilePayload storedSlot() {
    core::ProfileTransfer t;
    t.Name = "  LEADFREE  ";
    setProfileTemperature(t, 1, 100);
    setProfileTemperature(t, 2, 220);
    setProfileTemperature(t, 3, 260);
    t.X1Message = "first message here  ";
    t.X2Message = "second message      ";
    t.X3Message = "third message       ";
    t.X1LowerCode = 10, t.X1UpperCode = 1;  // 0xA1
    t.X2LowerCode = 4, t.X2UpperCode = 1;   // 0x41
    t.X3LowerCode = 15, t.X3UpperCode = 3;  // 0xF3
    return encodeProfilePayload(t);
}

// "RX" and "ACT" in an expected list stand for the two checksum values.
QStringList withChecksums(QStringList lines, int rx, int act) {
    lines.replaceInStrings(QRegularExpression("^RX$"), "Rx_Checksum = " + QString::number(rx));
    lines.replaceInStrings(QRegularExpression("^ACT$"), "Actual_Checksum = " + QString::number(act));
    return lines;
}

enum class Fault { None, PurgeTxBefore, PurgeRxBefore, WriteByte, Queue, Silence, Truncated, Ack, Opcode, Checksum,
                   PacketLength, PurgeTxAfter, PurgeRxAfter };

struct Row {
    const char* name;
    Fault fault;
    int writeIndex;  // frame byte that fails, for WriteByte
    QStringList lines;
    bool done;
};

}  // namespace

struct ProfileTransferTest : LinkFixture {
    testsupport::RecordingDisplay display;
    StationProfiles profiles{link, display};

    // Scripts one fault, runs the transaction, and leaves the checksum values it used.
    void script(Fault fault, int writeIndex, Bytes reply, int& rx, int& act) {
        rx = act = 0;
        switch (fault) {
            case Fault::None: break;
            case Fault::PurgeTxBefore: bridge.failOp("purge2", 1); break;
            case Fault::PurgeRxBefore: bridge.failOp("purge1", 1); break;
            case Fault::WriteByte: bridge.failWriteNumber(writeIndex); break;
            case Fault::Queue: bridge.failOp("queue", 1); break;
            case Fault::Silence: reply.clear(); break;
            case Fault::Truncated: reply.resize(reply.size() - 1); break;
            case Fault::Ack: reply[0] = 0x54; break;
            case Fault::Opcode:
                reply[3] ^= 0x08;
                reply[1] = std::uint8_t(reply[1] + reply[3] - (reply[3] ^ 0x08));  // checksum still right
                break;
            case Fault::Checksum:
                act = reply[1];
                rx = reply[1] = std::uint8_t(reply[1] + 7);
                break;
            case Fault::PacketLength:
                reply[2] = 81;
                reply[1] = std::uint8_t(reply[1] - 1);  // checksum matches the changed length
                break;
            case Fault::PurgeTxAfter:
            case Fault::PurgeRxAfter:
                // Armed once the purges before sending are over.
                clock.schedule(100, [this, fault] { bridge.failOp(fault == Fault::PurgeTxAfter ? "purge2" : "purge1", 1); });
                break;
        }
        bridge.replyWith(reply, 30);
    }

    void reset() {
        state.Diagnostics.clear();
        state.Transfer = {};
        state.CommandSucceeded = false;
        bridge.clearScript();
        bridge.written.clear();
        bridge.writeTimes.clear();
        bridge.calls.clear();
        for (const char* op : {"queue", "purge1", "purge2", "write"}) bridge.failOp(op, 0);
    }

    // A status poll right after: its bytes must be paced at 10 ms again.
    void expectNextPollPacedAtTenMs() {
        clock.advance(25000);  // let any late reply land, then drop it
        bridge.purge(bridge.handle(), platform::kPurgeRx);
        bridge.clearScript();
        bridge.written.clear();
        bridge.writeTimes.clear();
        EXPECT_EQ(link.Timer2().interval(), 10);
        bridge.replyWith(replyOf(0x01, {25, 0, 1, 1, 1, 0}));
        state.CommandSucceeded = false;
        link.PollStatus();
        EXPECT_TRUE(state.CommandSucceeded);
        ASSERT_EQ(bridge.writeTimes.size(), 4u);
        for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(bridge.writeTimes[i] - bridge.writeTimes[i - 1], 10);
    }
};

TEST_F(ProfileTransferTest, EveryRowOfTheWriteTable) {
    const QString f = "Flush Occurred 1151";
    const std::vector<Row> rows = {
        {"clean", Fault::None, 0, {}, true},
        {"purge tx before", Fault::PurgeTxBefore, 0, {"Clear Tx Failed 1100"}, true},
        {"purge rx before", Fault::PurgeRxBefore, 0, {"Clear Rx Failed 1101"}, true},
        {"start byte", Fault::WriteByte, 0, {"Write Error 1102"}, false},
        {"checksum", Fault::WriteByte, 1, {"Write Error 1103"}, false},
        {"packet length", Fault::WriteByte, 2, {"Write Error 1104"}, false},
        {"opcode", Fault::WriteByte, 3, {"Write Error 1105"}, false},
        {"name byte 1", Fault::WriteByte, 4 + 0, {"Write Error 110578"}, false},
        {"name byte 6", Fault::WriteByte, 4 + 5, {"Write Error 110532"}, false},
        {"X1High", Fault::WriteByte, 4 + 12, {"Write Error 110669"}, false},
        {"X2Low", Fault::WriteByte, 4 + 15, {"Write Error 110969"}, false},
        {"X3Low", Fault::WriteByte, 4 + 17, {"Write Error 111169"}, false},
        {"X1 message", Fault::WriteByte, 4 + 19, {"Write Error 111277"}, false},
        {"X2 message", Fault::WriteByte, 4 + 41, {"Write Error 111383"}, false},
        {"X3 message", Fault::WriteByte, 4 + 59, {"Write Error 111480"}, false},
        {"X1 mode", Fault::WriteByte, 4 + 78, {"Write Error 111532"}, false},
        {"X2 mode", Fault::WriteByte, 4 + 79, {"Write Error 111632"}, false},
        {"X3 mode", Fault::WriteByte, 4 + 80, {"Write Error 111732"}, false},
        {"queue", Fault::Queue, 0, {"Queue Error 1144"}, false},
        {"no reply", Fault::Silence, 0, {"Timeout 1145", f}, false},
        {"short reply", Fault::Truncated, 0, {"Timeout 1145", f}, false},
        {"acknowledge", Fault::Ack, 0, {"Acknowledge byte error 1146", f}, false},
        {"opcode echo", Fault::Opcode, 0, {"Opcode byte error 1147", f}, false},
        {"checksum", Fault::Checksum, 0, {"Checksum Error 1148", "RX", "ACT", f}, false},
        {"purge tx after", Fault::PurgeTxAfter, 0, {"Clear Tx Buffer Failed 1149"}, true},
        {"purge rx after", Fault::PurgeRxAfter, 0, {"Clear Rx Buffer Failed 1150"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        fillNorthBridge(state.Transfer, 2);
        int rx = 0, act = 0;
        script(row.fault, row.writeIndex, replyOf(0xA6), rx, act);
        profiles.WriteStationProfile();

        EXPECT_EQ(lines(), withChecksums(row.lines, rx, act));
        EXPECT_EQ(state.Transfer.WriteDone, row.done);
        EXPECT_FALSE(state.CommandSucceeded);  // the write never touches it
        EXPECT_TRUE(bridge.isOpen());          // and never closes the port
        if (row.fault == Fault::WriteByte) {
            EXPECT_EQ(bridge.written.size(), std::size_t(row.writeIndex));
        }
        EXPECT_EQ(link.Timer1().interval(), row.fault == Fault::WriteByte ? 2000 : 20000);
        expectNextPollPacedAtTenMs();
    }
}

TEST_F(ProfileTransferTest, WriteSendsTheFrameWithAnUnpacedHeaderAndHalfASecondAfterEachPayloadByte) {
    fillNorthBridge(state.Transfer, 2);
    const ProfilePayload payload = encodeProfilePayload(state.Transfer);
    bridge.replyWith(replyOf(0xA6), 1500);
    const std::int64_t t0 = clock.nowMs();
    int pacingSeen = 0;
    clock.schedule(1000, [&] { pacingSeen = link.Timer2().interval(); });
    profiles.WriteStationProfile();
    const std::int64_t took = clock.nowMs() - t0;

    EXPECT_EQ(bridge.written, buildFrame(0xA6, payload));
    ASSERT_EQ(bridge.writeTimes.size(), 85u);
    const auto& at = bridge.writeTimes;
    EXPECT_EQ(at[1] - at[0], Link::kShortPauseMs);  // the pause after the start byte
    EXPECT_EQ(at[2], at[1]);                        // checksum, length, opcode back to back
    EXPECT_EQ(at[3], at[2]);
    EXPECT_EQ(at[4], at[3]);                        // the first payload byte follows at once
    for (std::size_t i = 5; i < at.size(); ++i) EXPECT_GE(at[i] - at[i - 1], 500) << "payload byte " << i - 4;
    EXPECT_EQ(pacingSeen, 500);
    // 20 ms, 80 x 500 ms to the last byte, then the station's 1.5 s: about 41.5 s.
    EXPECT_GE(took, 20 + 80 * 500 + 1500);
    EXPECT_LE(took, 20 + 80 * 500 + 1500 + 10);
    EXPECT_TRUE(state.Transfer.WriteDone);
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(bridge.setupCalls(), (std::vector<std::string>{"purge 2", "purge 1", "purge 2", "purge 1"}));
    EXPECT_EQ(link.Timer2().interval(), 10);
}

TEST_F(ProfileTransferTest, SlotsOutsideOneToThreeSendNothingAndSayWhy) {
    for (int slot : {0, 4}) {
        SCOPED_TRACE(slot);
        reset();
        display.panels.clear();
        fillNorthBridge(state.Transfer, slot);
        profiles.WriteStationProfile();
        EXPECT_TRUE(bridge.written.empty());
        EXPECT_EQ(bridge.setupCalls(), (std::vector<std::string>{"purge 2", "purge 1"}));  // the purges come first
        EXPECT_EQ(display.panels[1], "KR-9300 Status: Profile No. SAVE ERROR !!!");
        EXPECT_EQ(link.Timer2().interval(), 10);
        EXPECT_FALSE(state.Transfer.WriteDone);

        reset();
        display.panels.clear();
        state.Transfer.ProfileNumber = std::int16_t(slot);
        profiles.ReadStationProfile();
        EXPECT_TRUE(bridge.calls.empty());
        EXPECT_EQ(display.panels[1], "KR-9300 Status: Profile No. READ ERROR !!!");
        EXPECT_FALSE(state.Transfer.ReadDone);
        EXPECT_TRUE(lines().isEmpty());
    }
}

TEST_F(ProfileTransferTest, EveryRowOfTheReadTable) {
    const QString f = "Flush Occurred 1008";
    const std::vector<Row> rows = {
        {"clean", Fault::None, 0, {}, true},
        {"start byte", Fault::WriteByte, 0, {"Write Error 1000"}, false},
        {"checksum", Fault::WriteByte, 1, {"Write Error 1001"}, false},
        {"packet length", Fault::WriteByte, 2, {"Write Error 1002"}, false},
        {"opcode", Fault::WriteByte, 3, {"Write Error 1003"}, false},
        {"queue", Fault::Queue, 0, {"Queue Error"}, false},
        {"no reply", Fault::Silence, 0, {"Timeout 1004", f}, false},
        {"84 of 85 bytes", Fault::Truncated, 0, {"Timeout 1004", f}, false},
        {"acknowledge", Fault::Ack, 0, {"Acknowledge byte error 1005", f}, false},
        {"opcode echo", Fault::Opcode, 0, {"Opcode byte error 1006", f}, false},
        {"checksum", Fault::Checksum, 0, {"Checksum Error 1006", "RX", "ACT", f}, false},
        {"packet length 81", Fault::PacketLength, 0,
         {"Packet Length Error 1007", "Rx_Packet_Length = 81", "Actual_Packet_Length = 82", f}, false},
    };
    const ProfilePayload stored = storedSlot();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        reset();
        state.Transfer.ProfileNumber = 3;
        int rx = 0, act = 0;
        script(row.fault, row.writeIndex, replyOf(0xE7, Bytes(stored.begin(), stored.end())), rx, act);
        profiles.ReadStationProfile();

        EXPECT_EQ(lines(), withChecksums(row.lines, rx, act));
        EXPECT_EQ(state.Transfer.ReadDone, row.done);
        EXPECT_TRUE(bridge.isOpen());
        EXPECT_TRUE(bridge.setupCalls().empty()) << "the read purges nothing";
        if (row.fault != Fault::WriteByte) {
            EXPECT_EQ(bridge.written, (Bytes{0xAA, 0xE8, 0x01, 0xE7}));
        }
        expectNextPollPacedAtTenMs();
    }
}

TEST_F(ProfileTransferTest, ReadStoresNameAndReadBackBeforeTheVerdictAndTheRestOnlyAfter) {
    const ProfilePayload stored = storedSlot();
    const Bytes good = replyOf(0xE7, Bytes(stored.begin(), stored.end()));
    auto stale = [] {
        core::ProfileTransfer t;
        t.ProfileNumber = 3;
        t.Name = "OLD NAME    ";
        t.X1Message = t.X2Message = t.X3Message = "old";
        t.X1High = 9, t.X1Low = 9, t.X3High = 9;
        return t;
    };

    // Checksum and packet length fail after the decoding: name and read-back are new.
    for (int damage : {0, 1}) {
        SCOPED_TRACE(damage == 0 ? "checksum" : "packet length");
        reset();
        state.Transfer = stale();
        Bytes reply = good;
        if (damage == 0) {
            reply[1] ^= 0x10;
        } else {
            reply[2] = 81;
            reply[1] = std::uint8_t(reply[1] - 1);
        }
        bridge.replyWith(reply);
        profiles.ReadStationProfile();
        EXPECT_EQ(state.Transfer.Name, QByteArray("  LEADFREE  "));
        EXPECT_EQ(state.Transfer.X1UpperRead, 1);
        EXPECT_EQ(state.Transfer.X1LowerRead, 500);
        EXPECT_EQ(state.Transfer.X2LowerRead, 200);
        EXPECT_EQ(state.Transfer.X3LowerRead, 750);
        EXPECT_EQ(state.Transfer.X1Message, QByteArray("old"));
        EXPECT_EQ(state.Transfer.X1High, 9);
        EXPECT_FALSE(state.Transfer.ReadDone);
    }

    // An acknowledge error stops before any decoding.
    reset();
    state.Transfer = stale();
    Bytes reply = good;
    reply[0] = 0x00;
    bridge.replyWith(reply);
    profiles.ReadStationProfile();
    EXPECT_EQ(state.Transfer.Name, QByteArray("OLD NAME    "));
    EXPECT_EQ(state.Transfer.X1LowerRead, 0);

    // A good reply: everything, 260 as 01 04.
    reset();
    state.Transfer = stale();
    bridge.replyWith(good);
    profiles.ReadStationProfile();
    EXPECT_TRUE(state.Transfer.ReadDone);
    EXPECT_EQ(state.Transfer.X3High, 1);
    EXPECT_EQ(state.Transfer.X3Low, 4);
    EXPECT_EQ(profileTemperature(state.Transfer, 3), 260);
    EXPECT_EQ(state.Transfer.X2Message, QByteArray("second message      "));
    EXPECT_EQ(state.Transfer.X3UpperRead, 3);
    EXPECT_EQ(link.Timer1().interval(), 10000);
}

TEST_F(ProfileTransferTest, AProfileRequestDuringAnotherWaitIsRefusedAndLeavesThePacingAlone) {
    // A handler that runs while a heater command waits must not start the 40 s write,
    // nor change the pacing of the command that is waiting.
    fillNorthBridge(state.Transfer, 1);
    clock.schedule(5, [&] { profiles.WriteStationProfile(); });
    bridge.replyWith(replyOf(0xF1));
    link.UpperHeaterUp();
    EXPECT_TRUE(state.CommandSucceeded);
    EXPECT_FALSE(state.Transfer.WriteDone);
    EXPECT_EQ(bridge.written, (Bytes{0xAA, 0xF2, 0x01, 0xF1}));
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(bridge.writeTimes[i] - bridge.writeTimes[i - 1], 10);
    ASSERT_EQ(lines().size(), 1);
    EXPECT_TRUE(lines()[0].contains("refused"));
}

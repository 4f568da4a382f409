// Every cell of the command set's failure table: given one scripted failure, the exact
// diagnostic lines in order, whether the port was closed, and the success flag.
#include "tests/link/link_fixture.h"

#include <QRegularExpression>

#include <functional>

using testsupport::replyOf;
using Bytes = std::vector<std::uint8_t>;

namespace {

enum class Fault { Write1, Write2, Write3, Write4, Queue, Timeout, Ack, Opcode, Checksum, CloseFails, PurgeTx, PurgeRx };

struct Cell {
    Fault fault;
    QStringList lines;  // "RX" and "ACT" stand for the two checksum values
    bool closed;
    bool flag;
};

struct Command {
    const char* name;
    void (stationlink::Link::*run)();
    std::uint8_t opcode;
    Bytes data;  // data bytes of a good reply
    std::function<bool(const core::SharedState&)> flag;
    std::vector<Cell> cells;
};

bool succeeded(const core::SharedState& s) { return s.CommandSucceeded; }
bool noFlag(const core::SharedState& s) { return s.CommandSucceeded; }  // must stay false

const Bytes kStatus{0x2C, 0x01, 1, 2, 1, 0};
const Bytes kIdent{0x12, 0x34, 7, 42, 7};
const Bytes kSettings{0, 8, 10, 15, 0, 6, 60, 0, 205, 5, 0, 48, 50, 1, 14};

std::vector<Cell> heaterCells(int base, const QString& timeout, const QString& final) {
    auto n = [base](int k) { return QString::number(base + k); };
    return {
        {Fault::Write1, {"Write Error " + n(0)}, false, false},
        {Fault::Write2, {"Write Error " + n(1)}, false, false},
        {Fault::Write3, {"Write Error " + n(2)}, false, false},
        {Fault::Write4, {"Write Error " + n(3)}, false, false},
        {Fault::Queue, {"Queue Error " + n(4)}, false, false},
        {Fault::Timeout, {timeout}, false, false},
        {Fault::Ack, {"Acknowledge byte error " + n(5), final}, false, false},
        {Fault::Opcode, {"Opcode byte error " + n(6), final}, false, false},
        {Fault::Checksum, {"Checksum Error " + n(7), "RX", "ACT", final}, false, false},
        {Fault::PurgeTx, {"Clear Tx Buffer Failed"}, false, true},
        {Fault::PurgeRx, {"Clear Rx Buffer Failed"}, false, true},
    };
}

std::vector<Cell> plainClosingCells(bool flagOnPurgeFailure) {
    return {
        {Fault::Write1, {"Write Error"}, false, false},
        {Fault::Write4, {"Write Error"}, false, false},
        {Fault::Queue, {"Queue Error"}, false, false},
        {Fault::Timeout, {}, true, false},
        {Fault::Ack, {"Acknowledge byte error"}, true, false},
        {Fault::Opcode, {"Opcode byte error"}, true, false},
        {Fault::Checksum, {"Checksum Error", "RX", "ACT"}, true, false},
        {Fault::CloseFails, {"Port CLose Failed 000"}, false, false},
        {Fault::PurgeTx, {"Clear Tx Buffer Failed"}, false, flagOnPurgeFailure},
    };
}

std::vector<Command> commands() {
    std::vector<Command> c;
    c.push_back({"PollStatus", &stationlink::Link::PollStatus, 0x01, kStatus, succeeded,
                 {
                     {Fault::Write1, {"Write Error1"}, false, false},
                     {Fault::Write2, {"Write Error2"}, false, false},
                     {Fault::Write3, {"Write Error3"}, false, false},
                     {Fault::Write4, {"Write Error4"}, false, false},
                     {Fault::Queue, {"Queue Error"}, false, false},
                     {Fault::Timeout, {"Flush 1 occurrred"}, true, false},
                     {Fault::Ack, {"Acknowledge byte error", "Flush 1 occurrred"}, true, false},
                     {Fault::Opcode, {"Opcode byte error", "Flush 1 occurrred"}, true, false},
                     {Fault::Checksum, {"Checksum Error", "RX", "ACT", "Flush 1 occurrred"}, true, false},
                     {Fault::CloseFails, {"Flush 1 occurrred", "Port CLose Failed"}, false, false},
                     {Fault::PurgeTx, {"Clear Tx Buffer Failed"}, false, true},
                     {Fault::PurgeRx, {"Clear Rx Buffer Failed"}, false, true},
                 }});
    c.push_back({"ReadIdentification", &stationlink::Link::ReadIdentification, 0xC8, kIdent, succeeded,
                 {
                     {Fault::Write1, {"Error 200"}, false, false},
                     {Fault::Write2, {"Error 201"}, false, false},
                     {Fault::Write3, {"Error 202"}, false, false},
                     {Fault::Write4, {"Error 203"}, false, false},
                     {Fault::Queue, {"Error 204"}, false, false},
                     {Fault::Timeout, {}, false, false},
                     {Fault::Ack, {"Error 205"}, false, false},
                     {Fault::Opcode, {"Error 206"}, false, false},
                     {Fault::Checksum, {"Error 207", "RX", "ACT"}, false, false},
                     {Fault::PurgeTx, {"Error 208"}, false, false},
                     {Fault::PurgeRx, {"Error 209"}, false, false},
                 }});
    c.push_back({"ReadSettings", &stationlink::Link::ReadSettings, 0xA0, kSettings, succeeded,
                 {
                     {Fault::Write1, {"Write Error3"}, false, false},
                     {Fault::Write2, {"Write Error31"}, false, false},
                     {Fault::Write3, {"Write Error32"}, false, false},
                     {Fault::Write4, {"Write Error33"}, false, false},
                     {Fault::Queue, {"Queue Error"}, false, false},
                     {Fault::Timeout, {"Timeout 3"}, true, false},
                     {Fault::Ack, {"Acknowledge byte error 4"}, false, true},  // processing goes on
                     {Fault::Opcode, {"Opcode byte error"}, false, true},
                     {Fault::Checksum, {"Checksum Error_RE", "RX", "ACT"}, true, false},
                     {Fault::CloseFails, {"Timeout 3", "Flush 2 Occurred"}, false, false},
                     {Fault::PurgeTx, {}, false, true},  // no purge at all
                 }});
    c.push_back({"WriteSettings", &stationlink::Link::WriteSettings, 0x50, {},
                 [](const core::SharedState& s) { return s.CommandSucceeded && s.SettingsWritten; },
                 {
                     {Fault::Write1, {"Write Error 400"}, false, false},
                     {Fault::Write2, {"Write Error 401"}, false, false},
                     {Fault::Write3, {"Write Error 402"}, false, false},
                     {Fault::Write4, {"Write Error 403"}, false, false},
                     {Fault::Queue, {"Queue Error 405"}, false, false},
                     {Fault::Timeout, {"Timeout 406", "Flush Occurred 411"}, true, false},
                     {Fault::Ack, {"Acknowledge byte error 407"}, false, false},
                     {Fault::Opcode, {"Opcode byte error 408"}, false, false},
                     {Fault::Checksum, {"Checksum Error 409", "RX", "ACT", "Flush Occurred 411"}, true, false},
                     {Fault::CloseFails, {"Timeout 406", "Port CLose Failed 410", "Flush Occurred 411"}, false, false},
                     {Fault::PurgeTx, {"Clear Tx Buffer Failed"}, false, true},
                     {Fault::PurgeRx, {"Clear Rx Buffer Failed"}, false, true},
                 }});
    c.push_back({"UpperHeaterUp", &stationlink::Link::UpperHeaterUp, 0xF1, {}, succeeded,
                 heaterCells(800, "Timeout 804", "Timeout 808")});
    c.push_back({"UpperHeaterDown", &stationlink::Link::UpperHeaterDown, 0xF2, {}, succeeded,
                 heaterCells(700, "Timeout 708", "Timeout 708")});
    c.push_back({"LowerHeaterUp", &stationlink::Link::LowerHeaterUp, 0xF3, {}, succeeded,
                 heaterCells(600, "Timeout 608", "Timeout 608")});
    c.push_back({"LowerHeaterDown", &stationlink::Link::LowerHeaterDown, 0xF4, {}, succeeded,
                 {
                     {Fault::Write1, {"Write Error 500"}, false, false},
                     {Fault::Write4, {"Write Error 503"}, false, false},
                     {Fault::Queue, {"Queue Error 504"}, false, false},
                     {Fault::Timeout, {"Timeout 505", "Timeout 509"}, false, false},
                     {Fault::Ack, {"Acknowledge byte error 506"}, false, false},
                     {Fault::Opcode, {"Opcode byte error 507"}, false, false},
                     {Fault::Checksum, {"Checksum Error 508", "RX", "ACT", "Timeout 509"}, false, false},
                     {Fault::PurgeRx, {"Clear Rx Buffer Failed"}, false, true},
                 }});
    c.push_back({"Fan", &stationlink::Link::Fan, 0xF6, {}, noFlag,
                 {
                     {Fault::Write1, {"Write Error 900"}, false, false},
                     {Fault::Write4, {"Write Error 903"}, false, false},
                     {Fault::Queue, {"Queue Error 904"}, false, false},
                     {Fault::Timeout, {"Timeout 905", "Flush Occurred 909"}, false, false},
                     {Fault::Ack, {"Acknowledge byte error 906", "Flush Occurred 909"}, false, false},
                     {Fault::Opcode, {"Opcode byte error 907", "Flush Occurred 909"}, false, false},
                     {Fault::Checksum, {"Checksum Error 908", "RX", "ACT", "Flush Occurred 909"}, false, false},
                     {Fault::PurgeTx, {"Clear Tx Buffer Failed"}, false, false},
                 }});
    c.push_back({"ClearLog", &stationlink::Link::ClearLog, 0xF9, {}, noFlag, plainClosingCells(false)});
    c.push_back({"SignOff", &stationlink::Link::SignOff, 0xF5, {},
                 [](const core::SharedState& s) { return s.ReleaseDone; }, plainClosingCells(true)});
    return c;
}

const char* faultName(Fault f) {
    static const char* names[] = {"write 1", "write 2", "write 3", "write 4", "queue", "timeout",
                                  "ack", "opcode", "checksum", "close fails", "purge tx", "purge rx"};
    return names[int(f)];
}

}  // namespace

struct FailureTable : LinkFixture {};

TEST_F(FailureTable, EveryCellGivesItsLinesItsPortStateAndItsFlag) {
    for (const Command& cmd : commands()) {
        for (const Cell& cell : cmd.cells) {
            SCOPED_TRACE(std::string(cmd.name) + " / " + faultName(cell.fault));
            // A fresh, open port for every cell.
            state.Diagnostics.clear();
            state.CommandSucceeded = state.SettingsWritten = state.ReleaseDone = false;
            state.FirmwareVersion = 7;
            if (!bridge.isOpen()) {
                ASSERT_EQ(bridge.open(0, state.DeviceHandle), 0);
            }
            state.PortOpen = true;
            bridge.clearScript();

            Bytes reply = replyOf(cmd.opcode, cmd.data);
            if (cmd.opcode == 0xA0) reply[2] = std::uint8_t(1 + cmd.data.size());
            std::uint8_t rx = 0, act = 0;
            switch (cell.fault) {
                case Fault::Write1: case Fault::Write2: case Fault::Write3: case Fault::Write4:
                    bridge.failWriteNumber(int(cell.fault) - int(Fault::Write1));
                    break;
                case Fault::Queue: bridge.failOp("queue", 1); break;
                case Fault::Timeout: reply.clear(); break;
                case Fault::CloseFails:
                    reply.clear();
                    bridge.failOp("close", 1);
                    break;
                case Fault::Ack: reply[0] = 0x54; break;
                case Fault::Opcode:
                    reply[3] ^= 0x80;
                    // keep the checksum right, so only the opcode check can object
                    reply[1] = std::uint8_t(reply[1] + (reply[3] - (reply[3] ^ 0x80)));
                    break;
                case Fault::Checksum:
                    act = reply[1];
                    rx = reply[1] = std::uint8_t(reply[1] + 1);
                    break;
                case Fault::PurgeTx: bridge.failOp("purge2", 1); break;
                case Fault::PurgeRx: bridge.failOp("purge1", 1); break;
            }
            bridge.replyWith(reply);
            (link.*cmd.run)();

            QStringList expected = cell.lines;
            expected.replaceInStrings(QRegularExpression("^RX$"), "Rx_Checksum = " + QString::number(rx));
            expected.replaceInStrings(QRegularExpression("^ACT$"), "Actual_Checksum = " + QString::number(act));
            EXPECT_EQ(lines(), expected);
            EXPECT_EQ(!bridge.isOpen(), cell.closed);
            EXPECT_EQ(cmd.flag(state), cell.flag);
            bridge.failOp("queue", 0);
            bridge.failOp("close", 0);
            bridge.failOp("purge1", 0);
            bridge.failOp("purge2", 0);
            clock.advance(3000);  // let stray replies land, then drop them
            bridge.purge(bridge.handle(), platform::kPurgeRx);
        }
    }
}

TEST_F(FailureTable, PayloadWriteErrorNamesTheSettingsIndex) {
    bridge.failWriteNumber(4 + 5);
    link.WriteSettings();
    EXPECT_EQ(lines(), QStringList{"Write Error5"});
    EXPECT_FALSE(state.SettingsWritten);
    EXPECT_EQ(bridge.written.size(), 9u);  // nothing after the failing byte
}

TEST_F(FailureTable, SettingsReadPacketLengthMismatchClosesThePort) {
    Bytes reply = replyOf(0xA0, kSettings);
    reply[2] = 15;       // counted: 16
    reply[1] -= 1;       // checksum still right for the changed length
    bridge.replyWith(reply);
    link.ReadSettings();
    EXPECT_EQ(lines(), (QStringList{"Packet Length Error", "Rx_Packet_Length = 15", "Actual_Packet_Length = 16"}));
    EXPECT_FALSE(bridge.isOpen());
    EXPECT_FALSE(state.CommandSucceeded);
}

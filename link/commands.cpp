#include "link/link.h"
#include "link/reply_decode.h"

namespace stationlink {

namespace {

QStringList numbered(const QString& prefix, int first) {
    QStringList out;
    for (int i = 0; i < 4; ++i) out << prefix + QString::number(first + i);
    return out;
}

// The heater and fan commands share one shape: numbered texts, the port stays open.
TransactionSpec controlCommand(std::uint8_t opcode, const MessageSet& m) {
    TransactionSpec plan;
    plan.opcode = opcode;
    plan.messages = m;
    return plan;
}

// "Timeout 808"-style commands: queue N+4, timeout text T, ack N+5, opcode N+6,
// checksum N+7, and the final line after each check failure.
MessageSet heaterMessages(int base, const QString& timeoutText, const QString& finalLine) {
    MessageSet m;
    m.headerWriteErrors = numbered("Write Error ", base);
    m.queueError = "Queue Error " + QString::number(base + 4);
    m.timeout = {{timeoutText}, false};
    m.ackError = {{"Acknowledge byte error " + QString::number(base + 5), finalLine}, false};
    m.opcodeError = {{"Opcode byte error " + QString::number(base + 6), finalLine}, false};
    m.checksumError = "Checksum Error " + QString::number(base + 7);
    m.checksumTail = {{finalLine}, false};
    return m;
}

// ClearLog and SignOff: plain texts, every check failure closes the port.
MessageSet plainClosingMessages() {
    MessageSet m;
    m.headerWriteErrors = {"Write Error", "Write Error", "Write Error", "Write Error"};
    m.queueError = "Queue Error";
    m.timeout = {{}, true};
    m.ackError = {{"Acknowledge byte error"}, true};
    m.opcodeError = {{"Opcode byte error"}, true};
    m.checksumError = "Checksum Error";
    m.checksumTail = {{}, true};
    m.closeFailure = "Port CLose Failed 000";
    return m;
}

}  // namespace

void Link::PollStatus() {
    TransactionSpec plan;
    plan.opcode = 0x01;
    plan.replySize = 10;
    plan.replyTimeoutMs = 50;
    plan.pauseAfterClose = true;
    plan.decode = [this] { decodeStatus(state_.ReplyBuffer, state_); };
    MessageSet& m = plan.messages;
    m.headerWriteErrors = {"Write Error1", "Write Error2", "Write Error3", "Write Error4"};
    m.queueError = "Queue Error";
    m.timeout = {{"Flush 1 occurrred"}, true};
    m.ackError = {{"Acknowledge byte error", "Flush 1 occurrred"}, true};
    m.opcodeError = {{"Opcode byte error", "Flush 1 occurrred"}, true};
    m.checksumError = "Checksum Error";
    m.checksumTail = {{"Flush 1 occurrred"}, true};
    m.closeFailure = "Port CLose Failed";
    if (RunTransaction(plan) == TransactionResult::Success) state_.CommandSucceeded = true;
}

void Link::ReadIdentification() {
    TransactionSpec plan;
    plan.opcode = 0xC8;
    plan.replySize = 9;
    plan.purgeFailureFails = true;
    plan.decode = [this] { decodeIdentification(state_.ReplyBuffer, state_); };
    MessageSet& m = plan.messages;
    m.headerWriteErrors = numbered("Error ", 200);
    m.queueError = "Error 204";
    m.ackError = {{"Error 205"}, false};
    m.opcodeError = {{"Error 206"}, false};
    m.checksumError = "Error 207";
    m.purgeTxFailure = "Error 208";
    m.purgeRxFailure = "Error 209";
    if (RunTransaction(plan) == TransactionResult::Success) state_.CommandSucceeded = true;
}

void Link::ReadSettings() {
    TransactionSpec plan;
    plan.opcode = 0xA0;
    plan.replySize = 4 + settingsDataBytes(state_.FirmwareVersion);
    plan.replyTimeoutMs = 500;
    plan.resetTimeoutAfter = false;
    plan.checksContinue = true;
    plan.checkPacketLength = true;
    plan.purgeOnSuccess = false;
    plan.decode = [this] { decodeSettings(state_.ReplyBuffer, state_); };
    MessageSet& m = plan.messages;
    m.headerWriteErrors = {"Write Error3", "Write Error31", "Write Error32", "Write Error33"};
    m.queueError = "Queue Error";
    m.timeout = {{"Timeout 3"}, true};
    m.ackError = {{"Acknowledge byte error 4"}, false};
    m.opcodeError = {{"Opcode byte error"}, false};
    m.checksumError = "Checksum Error_RE";
    m.checksumTail = {{}, true};
    m.packetLengthTail = {{}, true};
    m.closeFailure = "Flush 2 Occurred";
    if (RunTransaction(plan) == TransactionResult::Success) {
        state_.Settings.TempUnit = state_.MachineSettings[core::SettingsTempUnit];
        state_.CommandSucceeded = true;
    }
}

void Link::WriteSettings() {
    TransactionSpec plan;
    plan.opcode = 0x50;
    const int n = settingsDataBytes(state_.FirmwareVersion);
    plan.payload.assign(state_.MachineSettings.begin(), state_.MachineSettings.begin() + n);
    plan.replySize = state_.FirmwareVersion >= 6 ? 4 : 0;
    plan.replyTimeoutMs = 10000;
    plan.resetTimeoutAfter = false;
    MessageSet& m = plan.messages;
    m.headerWriteErrors = numbered("Write Error ", 400);
    m.payloadWriteError = [](int index) { return "Write Error" + QString::number(index); };
    m.queueError = "Queue Error 405";
    m.timeout = {{"Timeout 406"}, true};
    m.ackError = {{"Acknowledge byte error 407"}, false};
    m.opcodeError = {{"Opcode byte error 408"}, false};
    m.checksumError = "Checksum Error 409";
    m.checksumTail = {{}, true};
    m.closeFailure = "Port CLose Failed 410";
    m.afterClose = {"Flush Occurred 411"};
    if (RunTransaction(plan) == TransactionResult::Success) {
        state_.CommandSucceeded = true;
        state_.SettingsWritten = true;
    }
}

void Link::UpperHeaterUp() {
    if (RunTransaction(controlCommand(0xF1, heaterMessages(800, "Timeout 804", "Timeout 808"))) ==
        TransactionResult::Success)
        state_.CommandSucceeded = true;
}

void Link::UpperHeaterDown() {
    if (RunTransaction(controlCommand(0xF2, heaterMessages(700, "Timeout 708", "Timeout 708"))) ==
        TransactionResult::Success)
        state_.CommandSucceeded = true;
}

void Link::LowerHeaterUp() {
    if (RunTransaction(controlCommand(0xF3, heaterMessages(600, "Timeout 608", "Timeout 608"))) ==
        TransactionResult::Success)
        state_.CommandSucceeded = true;
}

void Link::LowerHeaterDown() {
    // Numbered one higher than the other heater commands from the timeout on.
    MessageSet m;
    m.headerWriteErrors = numbered("Write Error ", 500);
    m.queueError = "Queue Error 504";
    m.timeout = {{"Timeout 505", "Timeout 509"}, false};
    m.ackError = {{"Acknowledge byte error 506"}, false};
    m.opcodeError = {{"Opcode byte error 507"}, false};
    m.checksumError = "Checksum Error 508";
    m.checksumTail = {{"Timeout 509"}, false};
    if (RunTransaction(controlCommand(0xF4, m)) == TransactionResult::Success) state_.CommandSucceeded = true;
}

void Link::Fan() {
    MessageSet m;
    m.headerWriteErrors = numbered("Write Error ", 900);
    m.queueError = "Queue Error 904";
    m.timeout = {{"Timeout 905", "Flush Occurred 909"}, false};
    m.ackError = {{"Acknowledge byte error 906", "Flush Occurred 909"}, false};
    m.opcodeError = {{"Opcode byte error 907", "Flush Occurred 909"}, false};
    m.checksumError = "Checksum Error 908";
    m.checksumTail = {{"Flush Occurred 909"}, false};
    RunTransaction(controlCommand(0xF6, m));  // sets no flag
}

void Link::ClearLog() { RunTransaction(controlCommand(0xF9, plainClosingMessages())); }

void Link::SignOff() {
    if (RunTransaction(controlCommand(0xF5, plainClosingMessages())) == TransactionResult::Success)
        state_.ReleaseDone = true;
}

}  // namespace stationlink

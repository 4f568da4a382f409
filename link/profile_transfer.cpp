#include "link/profile_transfer.h"

#include "link/profile_payload.h"

#include <algorithm>

namespace stationlink {

namespace {

const char* const kSaveError = "KR-9300 Status: Profile No. SAVE ERROR !!!";
const char* const kReadError = "KR-9300 Status: Profile No. READ ERROR !!!";

MessageSet writeMessages(const ProfilePayload& payload) {
    MessageSet m;
    m.purgeTxBeforeFailure = "Clear Tx Failed 1100";
    m.purgeRxBeforeFailure = "Clear Rx Failed 1101";
    m.headerWriteErrors = {"Write Error 1102", "Write Error 1103", "Write Error 1104", "Write Error 1105"};
    m.payloadWriteError = [payload](int index) { return profileWriteErrorText(payload, index); };
    m.queueError = "Queue Error 1144";
    const QString flush = "Flush Occurred 1151";
    m.timeout = {{"Timeout 1145", flush}, false};
    m.ackError = {{"Acknowledge byte error 1146", flush}, false};
    m.opcodeError = {{"Opcode byte error 1147", flush}, false};
    m.checksumError = "Checksum Error 1148";
    m.checksumTail = {{flush}, false};
    m.purgeTxFailure = "Clear Tx Buffer Failed 1149";
    m.purgeRxFailure = "Clear Rx Buffer Failed 1150";
    return m;
}

MessageSet readMessages() {
    MessageSet m;
    m.headerWriteErrors = {"Write Error 1000", "Write Error 1001", "Write Error 1002", "Write Error 1003"};
    m.queueError = "Queue Error";
    const QString flush = "Flush Occurred 1008";
    m.timeout = {{"Timeout 1004", flush}, false};
    m.ackError = {{"Acknowledge byte error 1005", flush}, false};
    m.opcodeError = {{"Opcode byte error 1006", flush}, false};
    m.checksumError = "Checksum Error 1006";
    m.checksumTail = {{flush}, false};
    m.packetLengthError = "Packet Length Error 1007";
    m.packetLengthTail = {{flush}, false};
    return m;
}

// Sets a marker for the length of a transfer, also when the end of the program cuts it short.
template <class T>
class During {
public:
    During(T& marker, T on, T off) : marker_(marker), off_(off) { marker_ = on; }
    ~During() { marker_ = off_; }
    During(const During&) = delete;
    During& operator=(const During&) = delete;

private:
    T& marker_;
    T off_;
};

}  // namespace

std::optional<std::int64_t> StationProfiles::writeMsLeft() const {
    if (writeStartMs_ < 0) return std::nullopt;
    const std::int64_t whole = Link::kShortPauseMs + std::int64_t(kProfilePayloadSize) * kWritePacingMs + kStoreAllowanceMs;
    return std::max<std::int64_t>(1000, writeStartMs_ + whole - link_.clock().nowMs());
}

void StationProfiles::WriteStationProfile() {
    const During<std::int64_t> under(writeStartMs_, link_.clock().nowMs(), -1);
    core::SharedState& s = link_.state();
    const std::optional<std::uint8_t> opcode = profileWriteOpcode(s.Transfer.ProfileNumber);
    const ProfilePayload payload = encodeProfilePayload(s.Transfer);

    TransactionSpec plan;
    plan.opcode = opcode.value_or(0);
    plan.payload.assign(payload.begin(), payload.end());
    plan.pacingMs = kWritePacingMs;
    plan.purgeBefore = true;
    // The slot is judged after the purges; a bad one sends nothing.
    plan.beforeSending = [this, opcode] {
        if (opcode) return true;
        display_.setStatusPanel(1, kSaveError);
        return false;
    };
    plan.unpacedHeader = true;
    payloadSent_ = 0;
    plan.sentBytes = [this](int sent) { payloadSent_ = std::max(0, sent - 4); };  // after the 4 header bytes
    plan.replySize = 4;
    plan.replyTimeoutMs = kWriteReplyTimeoutMs;
    plan.resetTimeoutAfter = false;
    plan.messages = writeMessages(payload);
    if (link_.RunTransaction(plan) == TransactionResult::Success) s.Transfer.WriteDone = true;
}

void StationProfiles::ReadStationProfile() {
    const During<bool> under(reading_, true, false);
    core::SharedState& s = link_.state();
    const std::optional<std::uint8_t> opcode = profileReadOpcode(s.Transfer.ProfileNumber);
    if (!opcode) {
        display_.setStatusPanel(1, kReadError);
        return;
    }
    TransactionSpec plan;
    plan.opcode = *opcode;
    plan.replySize = kReadReplySize;
    plan.replyTimeoutMs = kReadReplyTimeoutMs;
    plan.resetTimeoutAfter = false;
    plan.checkPacketLength = true;
    plan.purgeOnSuccess = false;
    // The name and the read-back codes are stored while the checksum is summed, so they
    // change even when the verdict then goes against the reply.
    plan.decode = [&s] { decodeNameAndReadBack(profilePayloadOfReply(s.ReplyBuffer), s.Transfer); };
    plan.messages = readMessages();
    if (link_.RunTransaction(plan) != TransactionResult::Success) return;
    decodeTemperaturesAndMessages(profilePayloadOfReply(s.ReplyBuffer), s.Transfer);
    s.Transfer.ReadDone = true;
}

}  // namespace stationlink

#pragma once
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace stationlink {

// Timer2's usual interval: the pause after each written byte.
constexpr int kNormalPacingMs = 10;

// Lines written for one way a transaction can fail, and whether the port is closed after them.
struct FailurePath {
    QStringList lines;
    bool close = false;
};

// Every text a command writes to the diagnostic list, by failure.
struct MessageSet {
    QStringList headerWriteErrors;                     // start byte, checksum, length, opcode
    std::function<QString(int index)> payloadWriteError;  // payload byte at index
    QString queueError;
    FailurePath timeout;
    FailurePath ackError;
    FailurePath opcodeError;
    QString checksumError;      // followed by the Rx_/Actual_Checksum lines
    FailurePath checksumTail;   // after those lines
    QString packetLengthError = "Packet Length Error";  // followed by the Rx_/Actual_ lines
    FailurePath packetLengthTail;
    QString closeFailure;       // only when the close itself fails
    QStringList afterClose;     // always after a close
    QString purgeTxFailure = "Clear Tx Buffer Failed";
    QString purgeRxFailure = "Clear Rx Buffer Failed";
    QString purgeTxBeforeFailure;  // the purges before sending, when the command makes them
    QString purgeRxBeforeFailure;
};

// The fixed arguments of one command's transaction.
struct TransactionSpec {
    std::uint8_t opcode = 0;
    std::vector<std::uint8_t> payload;
    int replySize = 4;              // bytes from the acknowledge byte on; 0 = no reply is read
    int replyTimeoutMs = 2000;
    bool resetTimeoutAfter = true;  // Timer1 back to 2000 ms after the reply wait
    bool checksContinue = false;    // acknowledge and opcode errors only report (settings read)
    bool checkPacketLength = false; // compare the length byte with what was counted
    bool purgeOnSuccess = true;
    bool purgeFailureFails = false; // a failing purge makes the command fail
    bool pauseAfterClose = false;
    int pacingMs = 0;               // Timer2 for this transaction, back to 10 ms after it; 0 = as it is
    bool purgeBefore = false;       // purge both buffers before sending; a failure only reports
    // Start byte, short pause, then checksum, length and opcode back to back; only the
    // payload bytes are paced.
    bool unpacedHeader = false;
    std::function<bool()> beforeSending;  // after the purges; false ends with nothing sent
    std::function<void()> decode;   // stores fields from the reply before the checksum verdict
    std::function<void(int sent)> sentBytes;  // after each byte written: how many of the frame's are out
    MessageSet messages;
};

enum class TransactionResult { Success, Refused, NotSent, WriteFailed, QueueFailed, TimedOut, CheckFailed };

}  // namespace stationlink

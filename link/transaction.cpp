#include "link/frame.h"
#include "link/link.h"

namespace stationlink {

Link::Link(core::SharedState& state, platform::Bridge& bridge, platform::Clock& clock)
    : state_(state), bridge_(bridge), clock_(clock) {
    // Both timers are one-shot flags: the tick disables the timer and sets its tag.
    timer1_ = clock_.createTimer(2000, {});
    timer1_->setOnTick([this] {
        timer1_->setEnabled(false);
        timer1_->tag = true;
    });
    timer2_ = clock_.createTimer(10, {});
    timer2_->setOnTick([this] {
        timer2_->setEnabled(false);
        timer2_->tag = true;
    });
}

bool Link::closePort() {
    if (bridge_.close(state_.DeviceHandle) != 0) return false;
    state_.PortOpen = false;
    return true;
}

void Link::shortPause() { clock_.pause(kShortPauseMs); }

void Link::WaitPacingTick() {
    timer2_->tag = false;
    timer2_->setEnabled(true);
    while (!timer2_->tag) clock_.waitNext(timer2_->interval());
}

bool Link::writeByte(std::uint8_t byte) {
    std::uint32_t written = 0;
    return bridge_.write(state_.DeviceHandle, &byte, 1, written) == 0;
}

Link::Wait Link::waitForByte(const TransactionSpec&) {
    for (;;) {
        std::uint32_t waiting = 0;
        if (bridge_.getQueueStatus(state_.DeviceHandle, waiting) != 0) return Wait::QueueFailed;
        clock_.waitNext(1);
        if (timer1_->tag) return Wait::TimedOut;
        if (waiting >= 1) return Wait::Arrived;
    }
}

TransactionResult Link::fail(const TransactionSpec& spec, const FailurePath& path) {
    for (const QString& line : path.lines) addLine(line);
    if (path.close) {
        if (!closePort() && !spec.messages.closeFailure.isEmpty()) addLine(spec.messages.closeFailure);
        for (const QString& line : spec.messages.afterClose) addLine(line);
        if (spec.pauseAfterClose) shortPause();
    }
    return TransactionResult::CheckFailed;
}

TransactionResult Link::RunTransaction(const TransactionSpec& spec) {
    if (state_.TransactionActive) {
        ++refused_;
        addLine(QString("Command 0x%1 refused: another command is still waiting for its reply")
                    .arg(QString::number(spec.opcode, 16).toUpper().rightJustified(2, '0')));
        return TransactionResult::Refused;
    }
    state_.TransactionActive = true;
    TransactionResult result = TransactionResult::CheckFailed;
    try {
        result = exchange(spec);
    } catch (...) {
        state_.TransactionActive = false;
        timer1_->setEnabled(false);
        throw;
    }
    state_.TransactionActive = false;
    return result;
}

TransactionResult Link::exchange(const TransactionSpec& spec) {
    const MessageSet& m = spec.messages;
    const std::vector<std::uint8_t> frame = buildFrame(spec.opcode, spec.payload);

    // Sending: one byte at a time, each followed by the pacing wait.
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (!writeByte(frame[i])) {
            if (i < 4) addLine(m.headerWriteErrors.value(int(i)));
            else if (m.payloadWriteError) addLine(m.payloadWriteError(int(i - 4)));
            return TransactionResult::WriteFailed;
        }
        WaitPacingTick();
    }

    const int n = spec.replySize;
    if (n > 0) {
        timer1_->tag = false;
        timer1_->setInterval(spec.replyTimeoutMs);
        timer1_->setEnabled(true);
        for (int i = 1; i <= n; ++i) {
            const Wait w = waitForByte(spec);
            if (w == Wait::QueueFailed) {
                timer1_->setEnabled(false);
                addLine(m.queueError);
                return TransactionResult::QueueFailed;
            }
            if (w == Wait::TimedOut) {
                fail(spec, m.timeout);
                return TransactionResult::TimedOut;
            }
            std::uint8_t byte = 0;
            std::uint32_t got = 0;
            bridge_.read(state_.DeviceHandle, &byte, 1, got);  // status ignored
            state_.ReplyBuffer[std::size_t(i)] = byte;
        }
        timer1_->setEnabled(false);
        if (spec.resetTimeoutAfter) timer1_->setInterval(2000);

        // Checks, in order; the first failure decides.
        const ReplyBuffer& r = state_.ReplyBuffer;
        if (r[1] != kAckByte) {
            if (!spec.checksContinue) return fail(spec, m.ackError);
            for (const QString& line : m.ackError.lines) addLine(line);
        }
        if (r[4] != spec.opcode) {
            if (!spec.checksContinue) return fail(spec, m.opcodeError);
            for (const QString& line : m.opcodeError.lines) addLine(line);
        }
        if (spec.decode) spec.decode();
        const std::uint8_t actual = replyChecksum(r, n);
        if (actual != r[2]) {
            addLine(m.checksumError);
            addLine("Rx_Checksum = " + QString::number(r[2]));
            addLine("Actual_Checksum = " + QString::number(actual));
            return fail(spec, m.checksumTail);
        }
        if (spec.checkPacketLength && r[3] != n - 3) {
            addLine(m.packetLengthError);
            addLine("Rx_Packet_Length = " + QString::number(r[3]));
            addLine("Actual_Packet_Length = " + QString::number(n - 3));
            return fail(spec, m.packetLengthTail);
        }
    }

    if (!spec.purgeOnSuccess) return TransactionResult::Success;
    bool purged = true;
    if (bridge_.purge(state_.DeviceHandle, platform::kPurgeTx) != 0) {
        addLine(m.purgeTxFailure);
        purged = false;
    }
    if (bridge_.purge(state_.DeviceHandle, platform::kPurgeRx) != 0) {
        addLine(m.purgeRxFailure);
        purged = false;
    }
    if (!purged && spec.purgeFailureFails) return TransactionResult::CheckFailed;
    return TransactionResult::Success;
}

}  // namespace stationlink

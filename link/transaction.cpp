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
        // Events run either way; only an empty queue is worth sleeping on.
        if (waiting == 0) clock_.waitNext(1);
        else clock_.runPending();
        if (timer1_->tag) return Wait::TimedOut;
        if (waiting >= 1) return Wait::Arrived;
    }
}

TransactionResult Link::fail(const TransactionSpec& plan, const FailurePath& path) {
    for (const QString& line : path.lines) addLine(line);
    if (path.close) {
        if (!closePort() && !plan.messages.closeFailure.isEmpty()) addLine(plan.messages.closeFailure);
        for (const QString& line : plan.messages.afterClose) addLine(line);
        if (plan.pauseAfterClose) shortPause();
    }
    return TransactionResult::CheckFailed;
}

TransactionResult Link::RunTransaction(const TransactionSpec& plan) {
    if (clock_.ending()) throw platform::ProgramEnding{};  // nothing goes out once the program ends
    if (state_.TransactionActive) {
        ++refused_;
        addLine(QString("Command 0x%1 refused: another command is still waiting for its reply")
                    .arg(QString::number(plan.opcode, 16).toUpper().rightJustified(2, '0')));
        return TransactionResult::Refused;
    }
    state_.TransactionActive = true;
    if (plan.pacingMs > 0) timer2_->setInterval(plan.pacingMs);
    TransactionResult result = TransactionResult::CheckFailed;
    try {
        result = exchange(plan);
    } catch (...) {
        state_.TransactionActive = false;
        timer1_->setEnabled(false);
        if (plan.pacingMs > 0) timer2_->setInterval(kNormalPacingMs);
        throw;
    }
    if (plan.pacingMs > 0) timer2_->setInterval(kNormalPacingMs);  // whatever the outcome
    state_.TransactionActive = false;
    return result;
}

void noteBrokenFrame(core::SharedState& state, const platform::Clock& clock) { state.BrokenFrameAtMs = clock.nowMs(); }

void waitForBrokenFrameDropped(core::SharedState& state, platform::Clock& clock) {
    if (state.BrokenFrameAtMs < 0) return;
    const std::int64_t wait = kFrameDropMs - (clock.nowMs() - state.BrokenFrameAtMs);
    state.BrokenFrameAtMs = -1;
    if (wait > 0) clock.pause(int(wait));
}

TransactionResult Link::exchange(const TransactionSpec& plan) {
    const MessageSet& m = plan.messages;
    if (plan.purgeBefore) {
        if (bridge_.purge(state_.DeviceHandle, platform::kPurgeTx) != 0) addLine(m.purgeTxBeforeFailure);
        if (bridge_.purge(state_.DeviceHandle, platform::kPurgeRx) != 0) addLine(m.purgeRxBeforeFailure);
    }
    if (plan.beforeSending && !plan.beforeSending()) return TransactionResult::NotSent;
    const std::vector<std::uint8_t> frame = buildFrame(plan.opcode, plan.payload);
    waitForBrokenFrameDropped(state_, clock_);

    // Sending: one byte at a time, each followed by the pacing wait (or, for an unpaced
    // header, a short pause after the start byte and nothing after the next three).
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (!writeByte(frame[i])) {
            if (i > 0) noteBrokenFrame(state_, clock_);
            if (i < 4) addLine(m.headerWriteErrors.value(int(i)));
            else if (m.payloadWriteError) addLine(m.payloadWriteError(int(i - 4)));
            return TransactionResult::WriteFailed;
        }
        if (plan.sentBytes) plan.sentBytes(int(i + 1));
        if (plan.unpacedHeader && i < 4) {
            if (i == 0) shortPause();
            continue;
        }
        WaitPacingTick();
    }

    const int n = plan.replySize;
    if (n > 0) {
        timer1_->tag = false;
        timer1_->setInterval(plan.replyTimeoutMs);
        timer1_->setEnabled(true);
        for (int i = 1; i <= n; ++i) {
            const Wait w = waitForByte(plan);
            if (w == Wait::QueueFailed) {
                timer1_->setEnabled(false);
                addLine(m.queueError);
                return TransactionResult::QueueFailed;
            }
            if (w == Wait::TimedOut) {
                fail(plan, m.timeout);
                return TransactionResult::TimedOut;
            }
            std::uint8_t byte = 0;
            std::uint32_t got = 0;
            bridge_.read(state_.DeviceHandle, &byte, 1, got);  // status ignored
            state_.ReplyBuffer[std::size_t(i)] = byte;
        }
        timer1_->setEnabled(false);
        if (plan.resetTimeoutAfter) timer1_->setInterval(2000);

        // Checks, in order; the first failure decides.
        const ReplyBuffer& r = state_.ReplyBuffer;
        if (r[1] != kAckByte) {
            if (!plan.checksContinue) return fail(plan, m.ackError);
            for (const QString& line : m.ackError.lines) addLine(line);
        }
        if (r[4] != plan.opcode) {
            if (!plan.checksContinue) return fail(plan, m.opcodeError);
            for (const QString& line : m.opcodeError.lines) addLine(line);
        }
        if (plan.decode) plan.decode();
        const std::uint8_t actual = replyChecksum(r, n);
        if (actual != r[2]) {
            addLine(m.checksumError);
            addLine("Rx_Checksum = " + QString::number(r[2]));
            addLine("Actual_Checksum = " + QString::number(actual));
            return fail(plan, m.checksumTail);
        }
        if (plan.checkPacketLength && r[3] != n - 3) {
            addLine(m.packetLengthError);
            addLine("Rx_Packet_Length = " + QString::number(r[3]));
            addLine("Actual_Packet_Length = " + QString::number(n - 3));
            return fail(plan, m.packetLengthTail);
        }
    }

    if (!plan.purgeOnSuccess) return TransactionResult::Success;
    bool purged = true;
    if (bridge_.purge(state_.DeviceHandle, platform::kPurgeTx) != 0) {
        addLine(m.purgeTxFailure);
        purged = false;
    }
    if (bridge_.purge(state_.DeviceHandle, platform::kPurgeRx) != 0) {
        addLine(m.purgeRxFailure);
        purged = false;
    }
    if (!purged && plan.purgeFailureFails) return TransactionResult::CheckFailed;
    return TransactionResult::Success;
}

}  // namespace stationlink

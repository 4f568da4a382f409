#pragma once
#include "core/shared_state.h"
#include "link/transaction.h"
#include "platform/bridge.h"
#include "platform/clock.h"

#include <functional>
#include <memory>

namespace stationlink {

// The machine link: the bridge setup, the transaction shape every command uses, and the
// station's command set. Procedures take no arguments: they read their inputs from the
// shared state and leave their results there and in the diagnostic list.
class Link {
public:
    Link(core::SharedState& state, platform::Bridge& bridge, platform::Clock& clock);

    // Port setup: close, open device 0, configure. True when the bridge is ready.
    bool OpenStationPort();

    // One command frame out, one reply back, checked. Only one runs at a time: a call
    // made while another waits is refused without touching the bridge. Once the program
    // is ending, it and its waits throw platform::ProgramEnding and touch nothing more.
    TransactionResult RunTransaction(const TransactionSpec& plan);
    // At least one pacing period after a written byte, with events running.
    void WaitPacingTick();

    // The command set.
    void PollStatus();
    void ReadIdentification();
    void ReadSettings();
    void WriteSettings();
    void UpperHeaterUp();
    void UpperHeaterDown();
    void LowerHeaterUp();
    void LowerHeaterDown();
    void Fan();
    void ClearLog();
    void SignOff();

    // Closes DeviceHandle; true on success.
    bool closePort();
    // Pause used where the protocol asks for a short busy pause.
    void shortPause();

    platform::Timer& Timer1() { return *timer1_; }  // reply timeout
    platform::Timer& Timer2() { return *timer2_; }  // byte pacing
    platform::Clock& clock() { return clock_; }
    platform::Bridge& bridge() { return bridge_; }
    core::SharedState& state() { return state_; }

    static constexpr int kShortPauseMs = 20;
    // Transactions refused because another one was still waiting.
    std::uint64_t refusedTransactions() const { return refused_; }

private:
    void addLine(const QString& line) { state_.Diagnostics.add(line); }
    bool writeByte(std::uint8_t byte);
    enum class Wait { Arrived, QueueFailed, TimedOut };
    Wait waitForByte(const TransactionSpec& plan);
    TransactionResult fail(const TransactionSpec& plan, const FailurePath& path);
    TransactionResult exchange(const TransactionSpec& plan);

    core::SharedState& state_;
    platform::Bridge& bridge_;
    platform::Clock& clock_;
    std::unique_ptr<platform::Timer> timer1_;
    std::unique_ptr<platform::Timer> timer2_;
    std::uint64_t refused_ = 0;
};

}  // namespace stationlink

#pragma once
#include "core/profile_transfer.h"
#include "core/shared_state.h"

#include <QString>

#include <functional>
#include <optional>

namespace platform {
class Timer;
}

namespace profiles {

class Profile_Editor_Form;

// The editor's side of the station slots: "Retrieve" and the station "Save" fill the shared
// transfer record and raise the poller's request; the watch on ProfileRW_Timer waits for
// the outcome, puts a retrieved profile on screen, reads a saved slot back to verify it,
// and gives the editor back when the transfer failed or the link dropped.
class TransferWatch {
public:
    TransferWatch(core::SharedState& state, Profile_Editor_Form& editor, platform::Timer& timer);

    void Command6_Click();  // Retrieve
    void Command7_Click();  // Save to the station
    void ProfileRW_Timer_Timer();

    bool pending() const;

    // How far the slot write under way has come: payload bytes out of 81 and the time it
    // should still take. Nothing before the write has begun.
    struct WriteProgress {
        int sent = 0;
        int total = 81;
        std::int64_t msLeft = 0;
    };
    using WriteProgressSource = std::function<std::optional<WriteProgress>()>;
    void setWriteProgress(WriteProgressSource source) { progress_ = std::move(source); }

    // When the watch takes a transfer as complete: by default when its done flag says so.
    // A check of the fault simulation swaps in a careless test (the request was served) to
    // prove that the simulation notices a success that did not happen.
    using CompletionTest = std::function<bool(const core::SharedState&, int slot, bool done)>;
    static bool doneFlagSays(const core::SharedState& state, int slot, bool done);
    void setCompletionTest(CompletionTest test) { completed_ = test ? std::move(test) : CompletionTest(doneFlagSays); }

private:
    int selectedSlot() const;
    std::optional<QString> refusal() const;
    void request(int slot, std::int16_t editorState);
    void showRetrieved();
    void startVerify();
    void finishVerify(bool readOk);
    void giveBack(const QString& status, const QString& reason = QString());
    void showProgress();
    // The diagnostic lines the failed transfer added (the last three), or the link's loss.
    QString failureReason() const;
    void noteDiagnostics();
    bool requestFailed(int slot, bool done) const;
    bool gaveUpWaiting(int slot);
    bool completed(int slot, bool done) const { return completed_(state_, slot, done); }

    core::SharedState& state_;
    Profile_Editor_Form& editor_;
    platform::Timer& timer_;
    core::ProfileTransfer sent_;  // what the last save sent, kept for the verify
    int slot_ = 0;                // the slot of the transfer under way, for its texts
    CompletionTest completed_ = doneFlagSays;
    int unservedTicks_ = 0;  // watch ticks the request has waited without the poller taking it up
    WriteProgressSource progress_;
    int diagnosticsBefore_ = 0;  // the diagnostic list when the transfer was asked for
    QString lastLineBefore_;
};

// A request the poller has not taken up after this many watch ticks (a minute) is withdrawn:
// the station has stopped answering while the cable is still in.
constexpr int kUnservedTicksLimit = 120;

}  // namespace profiles

#pragma once
#include "core/profile_transfer.h"
#include "core/shared_state.h"

#include <QString>

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

private:
    int selectedSlot() const;
    std::optional<QString> refusal() const;
    void request(int slot, std::int16_t editorState);
    void showRetrieved();
    void startVerify();
    void finishVerify(bool readOk);
    void giveBack(const QString& status);
    bool requestFailed(int slot, bool done) const;

    core::SharedState& state_;
    Profile_Editor_Form& editor_;
    platform::Timer& timer_;
    core::ProfileTransfer sent_;  // what the last save sent, kept for the verify
    int slot_ = 0;                // the slot of the transfer under way, for its texts
};

}  // namespace profiles

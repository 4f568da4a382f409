#pragma once
#include "core/shared_state.h"
#include "platform/bridge.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace platform {
class Clock;
class Timer;
}  // namespace platform

namespace defaults {

// The defaults tool's own exchanges with the station: it opens the bridge itself, and
// sends the default settings image and the default profiles with its own pacing and reply
// timers. Every text goes to the tool's status panels, none to the diagnostic list.
class DefaultsUploader {
public:
    // panel 1: the station's status; panel 2: progress and errors.
    using StatusSink = std::function<void(int panel, const QString& text)>;

    DefaultsUploader(core::SharedState& state, platform::Bridge& bridge, platform::Clock& clock, StatusSink status);
    ~DefaultsUploader();

    // "Detect KR-9300": a handle the tool opened before is closed first. True when the
    // bridge is open and set up.
    bool detect();
    // True when the station took the image ("EEPROM Uploaded OK").
    bool uploadSettings();
    // Slot 1..3 gets default profile 1..3. True on "Profile N Uploaded OK".
    bool uploadProfile(int slot);
    // Reads slot 1..3 back and compares it with default profile `slot` as the editor's
    // Retrieve would show both: "Profile N Uploaded and verified" or why not. True when verified.
    bool verifyProfile(int slot);

    bool busy() const { return busy_; }
    platform::Timer& Timer1() { return *timer1_; }  // reply timeout
    platform::Timer& Timer2() { return *timer2_; }  // byte pacing

private:
    enum class Wait { Arrived, QueueFailed, TimedOut };
    bool sendPaced(const std::vector<std::uint8_t>& bytes, int from, int total, const QString& headerError,
                   const std::function<QString(int index)>& payloadError);
    bool writeByte(std::uint8_t byte);
    void pacingWait(int ms = 500);
    bool purge(std::uint32_t mask, const char* failure);
    // The four reply bytes; false after "Queue Error", a timeout or a failed check.
    bool awaitReply(std::uint8_t opcode, int timeoutMs);
    Wait waitForByte();
    // n reply bytes into the reply buffer from index 1, with the reply timeout running.
    Wait receive(int n, int timeoutMs);
    bool readSlot(int slot, core::ProfileTransfer& into);
    void closeAfterFailure();
    void progress(int sent, int total);
    bool begin();
    void end();

    core::SharedState& state_;
    platform::Bridge& bridge_;
    platform::Clock& clock_;
    StatusSink status_;
    std::unique_ptr<platform::Timer> timer1_;
    std::unique_ptr<platform::Timer> timer2_;
    bool busy_ = false;
    bool openedByTool_ = false;
};

}  // namespace defaults

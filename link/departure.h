#pragma once
#include "core/shared_state.h"
#include "link/link.h"
#include "link/poller.h"
#include "link/station_display.h"

#include <memory>

namespace stationlink {

// The window that counts the seconds while the program lets go of the station.
class ExitWarning {
public:
    virtual ~ExitWarning() = default;
    // Shows the window; one already showing keeps its count.
    virtual void showWarning() = 0;
    // What leaving is doing now, in the window's own words.
    virtual void setWarningText(const QString& text) = 0;
    virtual void stopWarningTimer() = 0;
    virtual void unloadWarning() = 0;
};

// What the sequences do to the program around them.
class ProgramControl {
public:
    virtual ~ProgramControl() = default;
    virtual void setMainWindowEnabled(bool enabled) = 0;
    virtual void endProgram() = 0;
};

// What the warning window says while the settings go back and the sign-off is sent.
constexpr const char* kHandingBackText = "Handing the settings back to the KR-9300 and signing off.\nPlease wait ...";

// "Disconnect KR-9300" and leaving the program: the alarm threshold (and the safety set
// point) go back to the station, the sign-off is sent, the port is closed.
class Departure {
public:
    Departure(core::SharedState& state, Link& link, Poller& poller, StationDisplay& display, ExitWarning& warning,
              ProgramControl& program);

    void M_Tools_Disconnect_Click();
    void M_File_Exit_Click();
    // The warning window's "Manual Disconnect".
    void Command1_Click();
    // Ends the program at once, without the sign-off, as "Manual Disconnect" does during
    // the exit; closes the port first when asked to. Whatever was waiting stops there.
    void EndAtOnce(bool closePort);

    platform::Timer& MyDisconnectTimer() { return *disconnectTimer_; }
    platform::Timer& MyExitTimer() { return *exitTimer_; }

private:
    void disconnect();
    // The end: every wait ends, then the program closes.
    void leave();
    void handBackAlarm();
    void handBackSafety();
    void handedBack();
    void showOffline();
    void closeAndReport();

    core::SharedState& state_;
    Link& link_;
    Poller& poller_;
    StationDisplay& display_;
    ExitWarning& warning_;
    ProgramControl& program_;
    std::unique_ptr<platform::Timer> disconnectTimer_;
    std::unique_ptr<platform::Timer> exitTimer_;
    bool linkUpAtDisconnect_ = false;
};

}  // namespace stationlink

#pragma once
#include "core/diagnostic_list.h"
#include "core/named_values.h"
#include "core/profile_transfer.h"
#include "core/run_guard_limits.h"
#include "core/settings_record.h"
#include "platform/bridge.h"

#include <QString>

#include <array>
#include <cstdint>

namespace core {

// The one set of process-wide shared variables. The app owns one; tests build their own.
// Start values are those the main window's load gives.
struct SharedState {
    // Link
    platform::BridgeHandle DeviceHandle = 0;
    std::array<std::uint8_t, 101> ReplyBuffer{};
    bool CommandSucceeded = false;
    bool ConnectRequested = false;
    bool MachineOnline = false;
    bool PollerBusy = false;
    std::int16_t ConnectAttempts = 0;
    bool TransactionActive = false;  // one transaction at a time
    std::int64_t BrokenFrameAtMs = -1;  // a write failed mid-frame then: the station holds half a frame
    bool PortOpen = false;           // DeviceHandle was opened and not closed since

    // Requests
    std::array<bool, kRequestSlots> RequestFlags{};
    std::int16_t ServingSlot = 0;  // the request slot the poller is serving now; 0 between requests
    bool OperatorRequestPending = false;

    // Live machine status
    std::int16_t PcbTemperature = 0;
    bool PcbTemperatureValid = false;
    std::int16_t UpperHeaterMode = 0;
    std::int16_t LowerHeaterMode = 0;
    std::int16_t MachineMode = 0;
    std::int16_t FanState = 0;
    bool UpperHeaterModeChanged = true;
    bool LowerHeaterModeChanged = true;
    bool MachineModeChanged = true;
    bool UpperModeChangeSeen = false;
    bool LowerModeChangeSeen = false;
    // Clock time of the last status poll that was answered; -1 before the first. A value
    // shown as live is stale once this is more than a poll old.
    std::int64_t LastStatusMs = -1;

    // Station identity and settings block
    QString MachineId;
    std::int16_t FirmwareVersion = 0;
    std::array<std::uint8_t, 16> MachineSettings{};
    bool SettingsWritten = false;
    bool ReleaseDone = false;

    // Program settings and rules
    SettingsRecord Settings;
    bool SafetyTripped = false;
    // Thresholds the operator set that the station has not received yet: a reconnect keeps
    // them over the station's values; the next disconnect or exit hands them back.
    bool AlarmHandBackPending = false;
    bool SafetyHandBackPending = false;
    // Leaving asked for both heaters OFF first: each tick steps a heater that is on down.
    bool HeaterSwitchOffRequested = false;
    // A run was stopped with its heaters to go OFF (the guard, or Stop / Cancel answered
    // Yes): each tick steps a heater that is on down, then the fan comes on.
    bool RunSwitchOffRequested = false;
    bool TraceResetRequested = true;
    std::int16_t PlottedSamples = 0;

    // Disconnect and exit
    std::int16_t ExitStage = 0;
    bool ManualDisconnectMode = false;

    // Profiles
    ProfileTransfer Transfer;
    std::int16_t EditorState = 0;
    bool ProfileRunActive = false;
    RunGuardLimits GuardLimits;
    std::int16_t X1SetPointC = 0, X2SetPointC = 0, X3SetPointC = 0;
    bool OpenProfileOnShow = false;
    bool NewProfileOnShow = false;
    std::int16_t SelectedDefaultProfile = 1;

    DiagnosticList Diagnostics;
};

}  // namespace core

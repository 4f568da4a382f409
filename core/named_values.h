#pragma once
#include <cstdint>

namespace core {

// Request slots of the poller's request table, by number.
enum RequestSlot : int {
    SlotWriteSettings = 3,
    SlotProfileRead = 5,
    SlotProfileWrite = 8,
    SlotUpperHeaterUp = 11,
    SlotUpperHeaterDown = 12,
    SlotLowerHeaterUp = 13,
    SlotLowerHeaterDown = 14,
    SlotFan = 16,
    SlotBeep = 17,
    SlotSignOff = 29,
    SlotClearLog = 31,
};
constexpr int kRequestSlots = 32;

// Bytes of the station's settings block that the program reads or writes.
enum SettingsByte : int {
    SettingsAlarmHigh = 7,
    SettingsAlarmLow = 8,
    SettingsTempUnit = 10,
    SettingsSafetyHigh = 13,
    SettingsSafetyLow = 14,
};

// While the program's alarm threshold is in force the station holds 1, 141 in its alarm
// bytes; any other value is one the operator set on the station itself.
constexpr std::uint8_t kProgramAlarmHigh = 1;
constexpr std::uint8_t kProgramAlarmLow = 141;

// Where the disconnect and exit sequences stand (ExitStage).
enum ExitStageValue : std::int16_t {
    ExitIdle = 0,
    ExitWritingSettings = 100,
    ExitSigningOff = 101,
    DisconnectRunning = 105,
};

// What the profile editor is doing (EditorState). The run's own states are named by the
// run sequencer.
enum EditorStateValue : std::int16_t {
    EditorIdle = 0,
    EditorRetrievePending = 500,
    EditorSavePending = 600,
    EditorVerifyPending = 700,  // a saved slot is being read back
};

// Heater mode codes as the status poll stores them.
enum LowerMode : std::int16_t { LhOff = 1, LhPreheat = 2, LhReflow = 3, LhFastReflow = 4, LhUnknown = 5 };
enum UpperMode : std::int16_t { UhOff = 1, UhReflow = 2, UhFastReflow = 3, UhUnknown = 4 };

// Heater codes as a profile carries them to the station.
enum LowerProfileCode : std::uint8_t { LhCodeOff = 1, LhCodePreheat = 8, LhCodeReflow = 10, LhCodeFastReflow = 15 };
enum UpperProfileCode : std::uint8_t { UhCodeOff = 1, UhCodeReflow = 2, UhCodeFastReflow = 3 };

// Machine positions as the status poll stores them.
enum MachinePosition : std::int16_t { PositionNormal = 1, PositionPark = 2 };

}  // namespace core

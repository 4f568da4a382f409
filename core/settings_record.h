#pragma once
#include <cstdint>

namespace core {

// The program's own settings, as Settings.ini stores them. Temperatures in degrees
// Celsius whatever TempUnit says.
struct SettingsRecord {
    bool BeepWB = false;
    bool AutoUSB = false;
    bool AutoTCPlot = false;
    bool SwSleepMode = false;
    bool RunDemoMode = false;
    std::int16_t AlarmMSD = 0;
    std::int16_t AlarmLSD = 0;
    std::int16_t AlarmThreshold = 0;
    std::int16_t TempUnit = 0;  // 0 Celsius, anything else Fahrenheit
    std::int16_t SafetySP_MSD = 0;
    std::int16_t SafetySP_LSD = 0;
    std::int16_t SafetySP = 0;
};

}  // namespace core

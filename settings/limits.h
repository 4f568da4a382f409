#pragma once
#include <cstdint>

namespace settings {

// The range the alarm threshold and the safety set point may take, in each display unit.
struct TemperatureRange {
    int low;
    int high;
};

constexpr TemperatureRange kAlarmRangeC{20, 400};
constexpr TemperatureRange kAlarmRangeF{68, 752};
constexpr TemperatureRange kSafetyRangeC{80, 400};
constexpr TemperatureRange kSafetyRangeF{176, 752};

constexpr TemperatureRange alarmRange(bool fahrenheit) { return fahrenheit ? kAlarmRangeF : kAlarmRangeC; }
constexpr TemperatureRange safetyRange(bool fahrenheit) { return fahrenheit ? kSafetyRangeF : kSafetyRangeC; }

// What the station's settings block gets when the program holds no value of its own.
constexpr int kDefaultAlarmC = 205;
constexpr int kDefaultSafetyC = 220;

}  // namespace settings

#pragma once
#include <array>
#include <cstdint>
#include <limits>

namespace profiles {

enum class Alloy { Leaded, LeadFree };

// The seconds at which the profile curve reaches each point, for one alloy.
struct CurveTimes {
    int x1;
    int x2;
    int x3;
    int holdEnd;  // the curve stays at X3 until here
    int end;      // back at 25 degrees Celsius
};
CurveTimes curveTimes(Alloy alloy);

// One entry a second; entries the curve does not reach hold CurveNoValue.
inline constexpr int kCurveSize = 400;
inline constexpr double CurveNoValue = std::numeric_limits<double>::quiet_NaN();
using CurveArray = std::array<double, kCurveSize>;

// A Celsius temperature in the display unit: the rounded Fahrenheit value where one is
// asked for (also when it no longer fits 16 bits), else the Celsius value itself.
double displayTemperature(std::int16_t celsius, bool fahrenheit);

// The profile curve through the three set points (whole degrees Celsius), in the display
// unit: straight segments from 25 degrees at 0 s to X1, X2 and X3, a 10-second hold at X3
// and a straight fall back to 25 degrees at 299 s, stepped one second at a time. Entry 0
// and entries 300 to 399 hold CurveNoValue; the values are not rounded.
CurveArray ComputeProfileCurve(std::int16_t x1C, std::int16_t x2C, std::int16_t x3C, Alloy alloy,
                               bool fahrenheit);

}  // namespace profiles

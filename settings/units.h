#pragma once
#include <cstdint>
#include <optional>

namespace settings {

// Fahrenheit to Celsius: (f - 32) * 5 in 16 bits, / 9, rounded. Empty when the
// 16-bit product overflows.
std::optional<std::int16_t> ToCelsius(std::int16_t f);
// Celsius to Fahrenheit: 1.8 * c + 32, rounded. Empty when the result leaves 16 bits.
std::optional<std::int16_t> ToFahr(std::int16_t c);

// Round to the nearest integer, halves to even. Empty when the result leaves 16 bits
// or the value is not a number.
std::optional<std::int16_t> roundToInt16(double v);

}  // namespace settings

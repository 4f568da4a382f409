#pragma once
#include <array>
#include <cstdint>

namespace simulator {

// What a new station holds: the settings block and the three profile slots.
std::array<std::uint8_t, 16> factorySettings();
// The 81-byte profile payload of slot 1, 2 or 3.
std::array<std::uint8_t, 81> factoryProfile(int slot);

}  // namespace simulator

#pragma once
#include "core/profile_transfer.h"

#include <array>
#include <cstdint>

namespace defaults {

// What a station holds when it leaves the factory: its settings block (alarm 205 degrees,
// Celsius display, safety set point 270 degrees) and three profiles for slots 1..3.
using DefaultSettingsImage = std::array<std::uint8_t, 15>;
DefaultSettingsImage defaultSettingsImage();
std::array<core::ProfileTransfer, 3> defaultProfiles();

}  // namespace defaults

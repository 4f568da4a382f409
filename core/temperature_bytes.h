#pragma once

namespace core {

// A temperature as the station and Settings.ini keep it: value = high * 256 + low, with
// the high part rounded towards minus infinity so that low is always 0..255.
struct TemperatureBytes {
    int high = 0;
    int low = 0;
};

constexpr TemperatureBytes splitTemperature(int value) {
    const int high = value >= 0 ? value / 256 : -((-value + 255) / 256);
    return {high, value - 256 * high};
}

constexpr int joinTemperature(int high, int low) { return high * 256 + low; }

}  // namespace core

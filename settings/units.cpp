#include "settings/units.h"

#include <cmath>
#include <limits>

namespace settings {

std::optional<std::int16_t> roundToInt16(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = std::nearbyint(v);  // the default rounding mode rounds halves to even
    if (r < std::numeric_limits<std::int16_t>::min() || r > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::optional<std::int16_t> ToCelsius(std::int16_t f) {
    const int product = (int(f) - 32) * 5;
    if (product < std::numeric_limits<std::int16_t>::min() || product > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return roundToInt16(double(product) / 9.0);
}

std::optional<std::int16_t> ToFahr(std::int16_t c) { return roundToInt16(9.0 / 5.0 * double(c) + 32.0); }

}  // namespace settings

#pragma once
#include "simulator/thermal_model.h"

#include <cstdint>

namespace simulator {

// The thermocouple taped to the board. On the board it reads the board. Come off, its bead
// hangs in the air and its reading falls toward the room's temperature with a time
// constant of half a minute, then stays with the air while the board heats on. Taped back,
// it reads the board again within about five seconds. Each change of state is anchored at its
// moment, so the reading is exact at any later time without periodic stepping.
class Thermocouple {
public:
    static constexpr double kAirC = ThermalModel::kAmbientC;
    static constexpr double kDetachedTimeConstantS = 30.0;
    static constexpr double kReattachTimeConstantS = 1.0;

    // The reading at nowMs, given the board's temperature then.
    double reading(std::int64_t nowMs, double boardC) const;
    bool detached() const { return detached_; }
    // Takes it off the board or tapes it back at nowMs, when the board is at boardC.
    void setDetached(std::int64_t nowMs, double boardC, bool detached);
    // The board was set to a temperature outright: on the board, the reading is that at once.
    void settle(std::int64_t nowMs);

private:
    bool detached_ = false;
    std::int64_t anchorMs_ = 0;
    // Detached: the reading at the anchor. On the board: how far the reading was off then.
    double anchorC_ = 0.0;
};

}  // namespace simulator

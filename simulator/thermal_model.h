#pragma once
#include <cstdint>

namespace simulator {

// The board under the heaters as one lumped mass: heater power raises it, it loses heat
// to the room in proportion to how much hotter it is, twice as fast with the fan on.
//   dT/dt = P(lower) + P(upper) - k * (T - ambient)
// With constant inputs this has the exact solution used here, so the model needs no
// periodic stepping: T moves toward ambient + P / k with time constant 1 / k.
class ThermalModel {
public:
    static constexpr double kAmbientC = 25.0;
    // Loss coefficient per second without the fan: time constant 100 s.
    static constexpr double kLossPerSecond = 0.010;
    // The fan doubles the loss: cooling is about twice as fast.
    static constexpr double kFanLossFactor = 2.0;
    // Heating power in °C/s by lower heater level 1..4 (OFF, PREHEAT, REFLOW, FAST REFLOW).
    // PREHEAT alone settles at 25 + 1.25 / 0.01 = 150 °C.
    static constexpr double kLowerPower[5] = {0.0, 0.0, 1.25, 1.50, 1.90};
    // Heating power in °C/s by upper heater level 1..3 (OFF, REFLOW, FAST REFLOW).
    // Lower REFLOW + upper REFLOW settles at 25 + 2.05 / 0.01 = 230 °C; both FAST at 315 °C.
    static constexpr double kUpperPower[4] = {0.0, 0.0, 0.55, 1.00};

    explicit ThermalModel(double startC = kAmbientC) : temperature_(startC) {}

    // Brings the temperature forward to the given time with the current inputs.
    void advanceTo(std::int64_t nowMs);
    // Changing an input first brings the model up to the moment of the change.
    void setInputs(std::int64_t nowMs, int lowerLevel, int upperLevel, bool fanOn);
    double temperature() const { return temperature_; }
    void setTemperature(std::int64_t nowMs, double c);
    double equilibrium() const;

private:
    double temperature_;
    std::int64_t lastMs_ = 0;
    int lower_ = 1;
    int upper_ = 1;
    bool fan_ = false;
};

}  // namespace simulator

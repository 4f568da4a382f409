#include "profiles/profile_curve.h"

#include "settings/units.h"

#include <cmath>

namespace profiles {

namespace {

constexpr std::int16_t kAmbientC = 25;

// Steps from (ta, va) to (tb, vb) one second at a time: entry i for i in ta+1..tb takes the
// running value after it has grown by the segment's slope once more. Returns the value
// reached at tb.
double step(CurveArray& curve, int ta, double va, int tb, double vb) {
    const double k = (vb - va) / double(tb - ta);
    double running = va;
    for (int i = ta + 1; i <= tb; ++i) {
        running += k;
        curve[std::size_t(i)] = running;
    }
    return running;
}

}  // namespace

CurveTimes curveTimes(Alloy alloy) {
    if (alloy == Alloy::LeadFree) return {60, 130, 200, 210, 299};
    return {50, 100, 130, 140, 299};
}

double displayTemperature(std::int16_t celsius, bool fahrenheit) {
    if (!fahrenheit) return celsius;
    if (const auto f = settings::ToFahr(celsius)) return *f;
    return std::nearbyint(9.0 / 5.0 * celsius + 32.0);
}

CurveArray ComputeProfileCurve(std::int16_t x1C, std::int16_t x2C, std::int16_t x3C, Alloy alloy,
                               bool fahrenheit) {
    CurveArray curve;
    curve.fill(CurveNoValue);
    const CurveTimes t = curveTimes(alloy);
    const double ambient = displayTemperature(kAmbientC, fahrenheit);
    const double t1 = displayTemperature(x1C, fahrenheit);
    const double t2 = displayTemperature(x2C, fahrenheit);
    const double t3 = displayTemperature(x3C, fahrenheit);

    step(curve, 0, ambient, t.x1, t1);
    step(curve, t.x1, t1, t.x2, t2);
    const double reached = step(curve, t.x2, t2, t.x3, t3);
    for (int i = t.x3; i <= t.holdEnd; ++i) curve[std::size_t(i)] = reached;
    step(curve, t.holdEnd, t3, t.end, ambient);
    return curve;
}

}  // namespace profiles

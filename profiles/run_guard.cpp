#include "profiles/run_guard.h"

#include "settings/units.h"

namespace profiles {

namespace {
constexpr int kRiseC = 2;  // what counts as a rise
const char* const kPointNames[] = {"X1", "X2", "X3"};
}  // namespace

RunGuard::RunGuard(const core::RunGuardLimits& limits, bool fahrenheit) : limits_(limits), fahrenheit_(fahrenheit) {}

QString RunGuard::degrees(int celsius) const {
    if (!fahrenheit_) return QString::number(celsius) + " C";
    return QString::number(settings::ToFahr(std::int16_t(celsius)).value_or(std::int16_t(celsius))) + " F";
}

std::optional<QString> RunGuard::check(const GuardInput& in) {
    if (in.phase != phase_ || in.point != point_) {
        phase_ = in.phase;
        point_ = in.point;
        phaseStartMs_ = in.nowMs;
        riseFromMs_ = -1;
        lastApproachMs_ = -1;
        heatedWaitFromMs_ = -1;
    }
    // Every watch is brought up to date, whichever speaks first.
    auto p = probe(in);
    auto a = approach(in);
    auto w = modeWait(in);
    if (p) return p;
    if (a) return a;
    if (w) return w;
    if (auto o = overshoot(in)) return o;
    return link(in);
}

std::optional<QString> RunGuard::probe(const GuardInput& in) {
    if (in.lastStatusMs == lastCountedStatusMs_ || in.lastStatusMs < 0) return std::nullopt;
    lastCountedStatusMs_ = in.lastStatusMs;  // one count per answered poll
    probeErrors_ = in.readingValid || !in.heaterOn ? 0 : probeErrors_ + 1;
    if (probeErrors_ >= core::RunGuardLimits::kProbeErrorPolls) return QString("the thermocouple reads nothing");
    return std::nullopt;
}

std::optional<QString> RunGuard::approach(const GuardInput& in) {
    if (in.phase != GuardInput::Phase::Approach) return std::nullopt;
    if (in.nowMs - phaseStartMs_ > std::int64_t(limits_.approachS) * 1000)
        return QString("%1 not reached within %2 s").arg(kPointNames[in.point]).arg(limits_.approachS);
    const std::int64_t sinceLast = lastApproachMs_ < 0 ? 0 : in.nowMs - lastApproachMs_;
    lastApproachMs_ = in.nowMs;
    if (!in.heaterOn) {
        // Time with the heaters off does not count, but the watch is not started again: a
        // status that shows them off for a moment must not hide a board that stopped rising.
        if (riseFromMs_ >= 0) riseFromMs_ += sinceLast;
        return std::nullopt;
    }
    // A reading that is missing shows no rise either: the watch goes on through it.
    if (in.readingValid && (in.boardC >= in.targetC || riseFromMs_ < 0 || in.boardC >= riseFromC_ + kRiseC)) {
        riseFromMs_ = in.boardC >= in.targetC ? -1 : in.nowMs;
        riseFromC_ = in.boardC;
        return std::nullopt;
    }
    if (riseFromMs_ >= 0 && in.nowMs - riseFromMs_ > std::int64_t(limits_.noRiseS) * 1000)
        return QString("no temperature rise for %1 s with a heater on").arg(limits_.noRiseS);
    return std::nullopt;
}

std::optional<QString> RunGuard::modeWait(const GuardInput& in) {
    if (in.phase != GuardInput::Phase::ModeWait || !in.heaterOn) {
        heatedWaitFromMs_ = -1;
        return std::nullopt;
    }
    if (heatedWaitFromMs_ < 0) heatedWaitFromMs_ = in.nowMs;
    if (in.nowMs - heatedWaitFromMs_ > std::int64_t(limits_.waitS) * 1000)
        return QString("waited %1 s for the machine mode with a heater on").arg(limits_.waitS);
    return std::nullopt;
}

std::optional<QString> RunGuard::overshoot(const GuardInput& in) const {
    const int limit = in.x3C + limits_.overshootC;
    if (in.readingValid && in.boardC > limit) return "the board passed " + degrees(limit);
    return std::nullopt;
}

std::optional<QString> RunGuard::link(const GuardInput& in) const {
    // Measured from the last answer, or from the run's start when none came yet.
    const std::int64_t since = in.lastStatusMs >= 0 ? in.lastStatusMs : phaseStartMs_;
    if (in.nowMs - since > std::int64_t(limits_.linkLostS) * 1000)
        return QString("the link was lost for %1 s").arg(limits_.linkLostS);
    return std::nullopt;
}

}  // namespace profiles

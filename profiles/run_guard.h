#pragma once
#include "core/run_guard_limits.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace profiles {

// What the guard is shown on each tick of a run.
struct GuardInput {
    enum class Phase { Other, ModeWait, Approach };
    std::int64_t nowMs = 0;
    Phase phase = Phase::Other;
    int point = 0;                    // 0..2: the point of the wait or approach
    std::int64_t lastStatusMs = -1;   // when the station last answered a status poll
    bool readingValid = false;        // that answer carried a board reading
    int boardC = 0;                   // the reading, when valid
    bool heaterOn = false;            // a heater above OFF (or in a mode the poll cannot name)
    int targetC = 0;                  // the point's temperature
    int x3C = 0;                      // the run's X3
};

// Watches a run tick by tick and says when it must stop because the board no longer
// answers to the heat: the probe reads nothing, the board does not rise, an approach or
// a wait for the machine mode goes on too long, the board overshoots, or the link is
// gone. It keeps no clock and shows nothing; the run acts on its answer.
class RunGuard {
public:
    RunGuard(const core::RunGuardLimits& limits, bool fahrenheit);

    // The first reason to stop, in the display unit, or nothing: go on.
    std::optional<QString> check(const GuardInput& in);

private:
    std::optional<QString> probe(const GuardInput& in);
    std::optional<QString> approach(const GuardInput& in);
    std::optional<QString> modeWait(const GuardInput& in);
    std::optional<QString> overshoot(const GuardInput& in) const;
    std::optional<QString> link(const GuardInput& in) const;
    QString degrees(int celsius) const;

    core::RunGuardLimits limits_;
    bool fahrenheit_;

    std::int64_t lastCountedStatusMs_ = -1;
    int probeErrors_ = 0;

    GuardInput::Phase phase_ = GuardInput::Phase::Other;
    int point_ = -1;
    std::int64_t phaseStartMs_ = 0;
    std::int64_t riseFromMs_ = -1;  // the no-rise watch: since when, and from which reading
    int riseFromC_ = 0;
    std::int64_t lastApproachMs_ = -1;  // the last check in an approach, for the time heaters were off
    std::int64_t heatedWaitFromMs_ = -1;
};

}  // namespace profiles

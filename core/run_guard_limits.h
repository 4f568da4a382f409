#pragma once

namespace core {

// The run guard's limits: how long a run may go on without the board answering before it
// is stopped. Kept in the program's own per-user settings; Celsius and seconds here.
struct RunGuardLimits {
    struct Range {
        int low, high, fallback;
    };
    static constexpr Range kNoRiseS{30, 600, 90};      // no 2 C rise in an approach with a heater on
    static constexpr Range kApproachS{60, 3600, 600};  // one approach at most
    static constexpr Range kWaitS{30, 1800, 120};      // a machine-mode wait with a heater on
    static constexpr Range kOvershootC{5, 60, 20};     // above X3 by this much
    static constexpr Range kLinkLostS{10, 120, 30};    // the link down this long

    int noRiseS = kNoRiseS.fallback;
    int approachS = kApproachS.fallback;
    int waitS = kWaitS.fallback;
    int overshootC = kOvershootC.fallback;
    int linkLostS = kLinkLostS.fallback;

    // Polls in a row that read no board temperature while a heater is on.
    static constexpr int kProbeErrorPolls = 5;
};

}  // namespace core

// The run guard on its own: a tick a second, table-driven by what the board does.
#include "profiles/run_guard.h"

#include <gtest/gtest.h>

using profiles::GuardInput;
using profiles::RunGuard;
using Phase = GuardInput::Phase;

namespace {

struct Board {
    core::RunGuardLimits limits;
    bool fahrenheit = false;
    RunGuard guard{limits, fahrenheit};
    GuardInput in;
    Board() {
        in.readingValid = true;
        in.heaterOn = true;
        in.x3C = 120;
        in.targetC = 100;
        in.phase = Phase::Approach;
        in.point = 1;
        in.boardC = 60;
    }
    // One second on, with a fresh answer unless the link is down.
    std::optional<QString> second(bool answered = true) {
        in.nowMs += 1000;
        if (answered) in.lastStatusMs = in.nowMs;
        return guard.check(in);
    }
    // Seconds until the guard speaks, at most the limit; the reason in `said`.
    int secondsUntilStop(int limit, const std::function<void(int)>& each = {}) {
        for (int s = 1; s <= limit; ++s) {
            if (each) each(s);
            if ((said = second(answering))) return s;
        }
        return -1;
    }
    bool answering = true;
    std::optional<QString> said;
};

}  // namespace

TEST(RunGuard, AProbeThatReadsNothingStopsOnTheFifthAnsweredPollWithAHeaterOn) {
    Board b;
    b.in.readingValid = false;
    EXPECT_EQ(b.secondsUntilStop(20), 5);
    EXPECT_EQ(*b.said, "the thermocouple reads nothing");

    Board off;  // with both heaters OFF a dead probe heats nothing
    off.in.readingValid = false;
    off.in.heaterOn = false;
    off.in.phase = Phase::Other;
    EXPECT_EQ(off.secondsUntilStop(60), -1);
}

TEST(RunGuard, NoRiseOfTwoDegreesWithinTheLimitStopsAnApproachAndARiseRestartsTheWatch) {
    Board b;  // creeping up 1 C every 40 s never makes 2 C in 90 s
    EXPECT_EQ(b.secondsUntilStop(400, [&](int s) { b.in.boardC = 60 + s / 50; }), 92) << "90 s after the first reading";
    EXPECT_EQ(*b.said, "no temperature rise for 90 s with a heater on");

    Board rising;  // 2 C every 80 s keeps it going
    EXPECT_EQ(rising.secondsUntilStop(500, [&](int s) { rising.in.boardC = 60 + 2 * (s / 80); }), -1);

    Board heatersOff;  // nothing is heating: no rise is expected
    heatersOff.in.heaterOn = false;
    EXPECT_EQ(heatersOff.secondsUntilStop(500), -1);

    // A status that shows the heaters off for a moment, on a board that keeps cooling: the
    // two seconds off do not count, and the watch does not start again.
    Board flicker;
    EXPECT_EQ(flicker.secondsUntilStop(400, [&](int s) {
        flicker.in.boardC = 90 - s / 4;
        flicker.in.heaterOn = s != 15 && s != 16;
    }), 94);
}

TEST(RunGuard, AnApproachOrAHeatedModeWaitHasItsOwnTimeLimit) {
    Board approach;
    approach.limits.noRiseS = 600;
    approach.guard = RunGuard(approach.limits, false);
    EXPECT_EQ(approach.secondsUntilStop(700, [&](int s) { approach.in.boardC = 30 + s / 10; }), 602);
    EXPECT_EQ(*approach.said, "X2 not reached within 600 s");

    Board wait;
    wait.in.phase = Phase::ModeWait;
    wait.in.heaterOn = false;
    EXPECT_EQ(wait.secondsUntilStop(300), -1) << "an unheated wait may last";
    wait.in.heaterOn = true;
    EXPECT_EQ(wait.secondsUntilStop(300), 122) << "120 s after the heater came on";
    EXPECT_EQ(*wait.said, "waited 120 s for the machine mode with a heater on");
}

TEST(RunGuard, TheBoardPastX3PlusTheMarginStopsInAnyStateInTheDisplayUnit) {
    Board b;
    b.in.phase = Phase::ModeWait;
    b.in.boardC = 140;
    EXPECT_FALSE(b.second()) << "at X3 + 20 exactly it goes on";
    b.in.boardC = 141;
    EXPECT_EQ(b.second().value_or(""), "the board passed 140 C");

    Board f;
    f.fahrenheit = true;
    f.guard = RunGuard(f.limits, true);
    f.in.boardC = 141;
    EXPECT_EQ(f.second().value_or(""), "the board passed 284 F");
}

TEST(RunGuard, TheLinkDownPastItsLimitStopsAndAStaleReadingIsNotCountedAsProbeError) {
    Board b;
    b.second();
    b.answering = false;
    b.in.readingValid = false;  // stale: no fresh reading, but no answered poll either
    EXPECT_EQ(b.secondsUntilStop(60), 31);
    EXPECT_EQ(*b.said, "the link was lost for 30 s");
}

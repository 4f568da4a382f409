// A run's figures, the Process Window Index and the verdict against a paste window, on
// hand-made rows; the designed curve against a window.
#include "process/judgement.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using process::Statistic;

namespace {

using Knots = std::vector<std::pair<double, double>>;

// A row a second from 0 s, straight between the knots (time s, board C).
std::vector<process::Row> run(const Knots& knots) {
    std::vector<process::Row> rows;
    for (std::size_t k = 1; k < knots.size(); ++k) {
        const auto [t0, c0] = knots[k - 1];
        const auto [t1, c1] = knots[k];
        for (double t = rows.empty() ? t0 : t0 + 1; t <= t1; ++t)
            rows.push_back({t, c0 + (c1 - c0) * (t - t0) / (t1 - t0)});
    }
    return rows;
}

process::PasteWindow window(const char* name) { return *process::findWindow(process::builtInWindows(), name); }

// 2.5 C/s to 150 C, a soak to 190 C, 2.5 C/s to 215 C, 1 C/s up to 245 C and down to 215 C,
// then 2.5 C/s down to 25 C.
const Knots kTextbook{{0, 25}, {50, 150}, {130, 190}, {140, 215}, {170, 245}, {200, 215}, {276, 25}};

}  // namespace

// By hand, against SAC305:
//   heating slope  2.5 C/s   (<= 3.0: middle 1.5, half 1.5)     +66.7 %
//   soak           85 s      (t 50..130 at 150..190 C: 81 rows, 192.5..200 C at t 131..134: 4;
//                             60-120: middle 90, half 30)     -16.7 %
//   above 217 C    57 s      (217..245 C at t 142..170: 29, 244..217 C at t 171..198: 28;
//                             45-90: middle 67.5, half 22.5)  -46.7 %
//   peak           245 C     (235-250: middle 242.5, half 7.5) +33.3 %
//   within 5 C     11 s      (240..245 C at t 165..175; <= 40: middle 20, half 20) -45 %
//   cooling slope  2.5 C/s   (<= 6.0: middle 3, half 3)        -16.7 %
//   25 C to peak   170 s     (25 C at 0 s, the peak at 170 s; <= 480: middle 240) -29.2 %
//   PWI 66.7 % -> PASS
TEST(Judgement, ATextbookSac305RunPassesWithThePwiWorkedOutByHand) {
    const process::Judgement j = process::judgeRun(run(kTextbook), window("SAC305"), false);
    const std::vector<std::pair<double, double>> expected{
        {2.5, 66.667}, {85, -16.667}, {57, -46.667}, {245, 33.333}, {11, -45}, {2.5, -16.667}, {170, -29.167}};
    for (Statistic s : process::kStatistics) {
        SCOPED_TRACE(process::statisticName(s).toStdString());
        ASSERT_TRUE(j.figures.value(s) && j.percent(s));
        EXPECT_DOUBLE_EQ(*j.figures.value(s), expected[process::indexOf(s)].first);
        EXPECT_NEAR(*j.percent(s), expected[process::indexOf(s)].second, 0.001);
    }
    EXPECT_NEAR(*j.pwi, 66.667, 0.001);
    EXPECT_EQ(j.verdict, process::Verdict::Pass);
    EXPECT_EQ(j.line(), "PASS  PWI 67%  (SAC305)");
    const QStringList table = j.tableLines();
    ASSERT_EQ(table.size(), 10);
    EXPECT_EQ(table[0], "paste: SAC305, liquidus 217 C");
    EXPECT_EQ(table[3].simplified(), "time in the soak band 85 s 60-120 s in 150-200 C -17%");
    EXPECT_EQ(table[4].simplified(), "time above liquidus 57 s 45-90 s over 217 C -47%");
    EXPECT_EQ(table[9], "PWI: 67%");
}

TEST(Judgement, EachStatisticPushedOutOfItsWindowFailsWithItsName) {
    const struct {
        Knots knots;
        const char* line;
    } cases[] = {
        {{{0, 25}, {25, 150}, {105, 190}, {115, 215}, {145, 245}, {175, 215}, {251, 25}},
         "FAIL  PWI 233%: steepest heating slope 5.0 C/s (<= 3.0 C/s)"},
        {{{0, 25}, {50, 150}, {200, 190}, {210, 215}, {240, 245}, {270, 215}, {346, 25}},
         "FAIL  PWI 217%: time in the soak band 155 s (60-120 s)"},
        {{{0, 25}, {50, 150}, {130, 190}, {140, 215}, {152, 245}, {164, 215}, {240, 25}},
         "FAIL  PWI 198%: time above liquidus 23 s (45-90 s)"},
        {{{0, 25}, {50, 150}, {130, 190}, {140, 215}, {170, 245}, {260, 215}, {336, 25}},
         "FAIL  PWI 202%: time above liquidus 113 s (45-90 s)"},
        {{{0, 25}, {50, 150}, {130, 190}, {140, 215}, {185, 260}, {215, 230}, {297, 25}},
         "FAIL  PWI 233%: peak 260 C (235-250 C)"},
        {{{0, 25}, {50, 150}, {130, 190}, {140, 215}, {152, 245}, {202, 245}, {214, 215}, {290, 25}},
         "FAIL  PWI 175%: time within 5 C of the peak 55 s (<= 40 s)"},
        {{{0, 25}, {50, 150}, {130, 190}, {140, 215}, {170, 245}, {200, 215}, {219, 25}},
         "FAIL  PWI 233%: steepest cooling slope 10.0 C/s (<= 6.0 C/s)"},
        {{{0, 25}, {400, 100}, {420, 150}, {500, 190}, {510, 215}, {540, 245}, {570, 215}, {646, 25}},
         "FAIL  PWI 125%: time from 25 C to the peak 540 s (<= 480 s)"},
    };
    for (const auto& c : cases) {
        const process::Judgement j = process::judgeRun(run(c.knots), window("SAC305"), false);
        EXPECT_EQ(j.verdict, process::Verdict::Fail);
        EXPECT_EQ(j.line(), c.line);
    }
}

TEST(Judgement, PercentIsThePlaceInTheWindow) {
    const struct {
        double value;
        process::Limit limit;
        double percent;
    } cases[] = {
        {188, {180, 220, false}, -60},  // the worked example
        {200, {180, 220, false}, 0},    {220, {180, 220, false}, 100}, {170, {180, 220, false}, -150},
        {4.5, {0, 3, true}, 200},       {0, {0, 3, true}, -100},       {30, {0, 40, true}, 50},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(*process::percentInLimit(c.value, c.limit), c.percent) << c.value;
    EXPECT_FALSE(process::percentInLimit(5, {10, 10, false}));
}

// A step of 100 C between 10 s and 11 s is a 20 C/s slope when the rows run on; a row
// without a reading or a pause between the rows puts a gap there, and no slope crosses it.
TEST(Judgement, AGapInTheRowsIsNotASlope) {
    const auto step = [](bool readingLost, bool timeLost) {
        std::vector<process::Row> rows;
        for (int t = 0; t <= 30; ++t) {
            if (timeLost && t >= 11 && t <= 13) continue;
            const bool lost = readingLost && (t == 11 || t == 12);
            rows.push_back({double(t), lost ? std::nullopt : std::optional<double>(t <= 10 ? 100 : 200)});
        }
        return process::runFigures(rows, window("SAC305"));
    };
    EXPECT_DOUBLE_EQ(*step(false, false).value(Statistic::HeatingSlope), 20);
    EXPECT_DOUBLE_EQ(*step(true, false).value(Statistic::HeatingSlope), 0);
    EXPECT_DOUBLE_EQ(*step(false, true).value(Statistic::HeatingSlope), 0);
}

// The time to the peak counts from the first reading at or above 25 C.
TEST(Judgement, TheTimeToThePeakStartsAt25C) {
    const auto rows = run({{0, 15}, {10, 25}, {20, 45}, {40, 45}});
    EXPECT_DOUBLE_EQ(*process::runFigures(rows, window("SAC305")).value(Statistic::TimeToPeak), 10);
}

TEST(Judgement, AStoppedRunNoPasteOrNoReadingGetsNoVerdict) {
    const auto rows = run(kTextbook);
    const process::Judgement stopped = process::judgeRun(rows, window("SAC305"), true);
    EXPECT_EQ(stopped.line(), "no verdict (run stopped)");
    EXPECT_TRUE(stopped.pwi);  // the figures are still there for the table
    EXPECT_EQ(process::judgeRun(rows, std::nullopt, false).line(), "no verdict (no paste)");
    const std::vector<process::Row> blind{{0, std::nullopt}, {1, std::nullopt}};
    EXPECT_EQ(process::judgeRun(blind, window("SAC305"), false).line(), "no verdict (no readings)");
}

TEST(Judgement, TheCurveIsCheckedAgainstTheWindow) {
    // 300 values from 0 s, NaN where the curve has none (0 s, and after the fall).
    const auto curve = [](const Knots& knots) {
        std::vector<double> c(300, std::numeric_limits<double>::quiet_NaN());
        for (const process::Row& r : run(knots)) c[std::size_t(r.timeS)] = *r.boardC;
        return c;
    };
    const auto slow = [](double peakC) { return Knots{{1, 25}, {60, 120}, {150, 160}, {200, peakC}, {210, peakC}, {299, 25}}; };
    // At or above 183 C: 12 s of the rise at 0.6 C/s (t 189..200), the 10 s hold, 3 s of the
    // fall at 165/89 C/s (t 211..213).
    EXPECT_EQ(process::checkCurve(curve(slow(190)), window("Sn63Pb37")),
              QStringList({"Curve: time above liquidus 25 s below 45-90 s", "Curve: peak 190 C below 205-235 C"}));
    EXPECT_EQ(process::checkCurve(curve(slow(220)), window("Sn63Pb37")), QStringList());
    // In 150-200 C before the peak: t 128..150 and t 151..183; at or above 217 C: t 198..211.
    EXPECT_EQ(process::checkCurve(curve(slow(220)), window("SAC305")),
              QStringList({"Curve: time in the soak band 56 s below 60-120 s",
                           "Curve: time above liquidus 14 s below 45-90 s", "Curve: peak 220 C below 235-250 C"}));
    // A fall of 7.8 C/s; at or above 183 C: t 170..200, the hold, t 211..214.
    EXPECT_EQ(process::checkCurve(curve({{1, 25}, {60, 120}, {150, 160}, {200, 220}, {210, 220}, {235, 25}}),
                                  window("Sn63Pb37")),
              QStringList({"Curve: time above liquidus 45 s at the edge of 45-90 s",
                           "Curve: steepest cooling slope 7.8 C/s above 6.0 C/s"}));
}

// The textbook run cut off: whole once the board is below 217 C, more than 5 C off the peak
// and 5 s into its fall (199 s); a board that never got hot once a 5 s fall follows its peak.
TEST(Judgement, TheCoolingIsSeenOnceTheBoardIsBelowTheLiquidusAndOffThePeak) {
    const auto rows = run(kTextbook);
    for (const auto& [s, seen] : {std::pair{170.0, false}, {198.0, false}, {199.0, true}})
        EXPECT_EQ(process::coolingSeen(std::span(rows).first(std::size_t(s) + 1), window("SAC305")), seen) << s;
    EXPECT_FALSE(process::coolingSeen(run({{0, 25}, {60, 120}, {63, 110}}), window("SAC305")));
    EXPECT_TRUE(process::coolingSeen(run({{0, 25}, {60, 120}, {66, 110}}), window("SAC305")));
}

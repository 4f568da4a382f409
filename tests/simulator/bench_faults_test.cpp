// The faults a bench meets: a thermocouple off the board, a dead heater element, both by
// hand and drawn by the fault injector.
#include "simulator/sim_station.h"
#include "tests/support/sim_host.h"

#include <gtest/gtest.h>

#include <cmath>

using simulator::FaultRates;
using simulator::Heater;
using simulator::ThermalModel;
using testsupport::frameOf;

namespace {
struct Bench : ::testing::Test {
    platform::VirtualClock clock;
    simulator::SimStation station{clock, 7};
    testsupport::SimHost host{clock, station};

    // The board reading and the heater levels (lower, upper) a status reply reports.
    std::array<int, 3> poll() {
        const auto r = host.exchange(frameOf(0x01), 100);
        if (r.size() != 10) ADD_FAILURE() << "status reply of " << r.size() << " bytes";
        return r.size() == 10 ? std::array<int, 3>{r[4] + 256 * r[5], r[6], r[7]} : std::array<int, 3>{-1, -1, -1};
    }
    void TearDown() override {
        for (const auto& v : station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
    }
};
}  // namespace

TEST_F(Bench, DetachedTheReadingFallsToTheAirWhileTheBoardHeatsOnReattachedItReadsTheBoardWithinSeconds) {
    station.setBoardTemperature(150);
    station.setHeaters(3, 2);  // heading for 230 °C
    station.setThermocoupleDetached(true);
    int previous = poll()[0];
    EXPECT_NEAR(previous, 150, 1);  // it does not drop at once
    for (int s = 5; s <= 180; s += 5) {
        clock.advance(5000);
        const int now = poll()[0];
        EXPECT_LE(now, previous) << "at " << s << " s";
        if (s == 30) {
            EXPECT_NEAR(now, 25 + 125 * 0.37, 8);  // one time constant
        }
        previous = now;
    }
    EXPECT_LE(previous, 27);                      // with the air
    EXPECT_GT(station.boardTemperature(), 210);  // the board went on heating
    station.setBoardTemperature(100);             // off the board, the probe does not notice
    EXPECT_EQ(poll()[0], previous);

    station.setThermocoupleDetached(false);
    EXPECT_FALSE(station.thermocoupleDetached());
    clock.advance(5000);
    EXPECT_NEAR(poll()[0], station.boardTemperature(), 2);
    clock.advance(5000);
    EXPECT_EQ(poll()[0], std::lround(station.boardTemperature()));
}

TEST_F(Bench, ADeadHeaterReportsAndStepsItsLevelButGivesNoHeat) {
    station.setHeaterDead(Heater::Lower, true);
    EXPECT_FALSE(station.heaterDead(Heater::Upper));
    host.exchange(frameOf(0xF3));  // L.H. up twice: REFLOW
    host.exchange(frameOf(0xF3));
    clock.advance(60000);
    EXPECT_EQ(poll(), (std::array<int, 3>{25, 3, 1}));

    host.exchange(frameOf(0xF1));  // U.H. REFLOW heats alone
    clock.advance(1200000);
    EXPECT_EQ(poll()[2], 2);
    EXPECT_NEAR(station.boardTemperature(), 25 + ThermalModel::kUpperPower[2] / ThermalModel::kLossPerSecond, 1);

    station.setHeaterDead(Heater::Lower, false);  // mended, and the other one dies
    station.setHeaterDead(Heater::Upper, true);
    clock.advance(1200000);
    EXPECT_NEAR(station.boardTemperature(), 25 + ThermalModel::kLowerPower[3] / ThermalModel::kLossPerSecond, 1);
}

TEST_F(Bench, TheInjectorDetachesTheThermocoupleForAWhileCountsItAndMendsItWhenSwitchedOff) {
    FaultRates rates;
    rates.thermocoupleDetached = 1.0;
    rates.detachedMinMs = rates.detachedMaxMs = 20000;
    station.faults().setRates(rates);
    station.setBoardTemperature(200);
    for (int i = 0; i < 5; ++i) poll();  // drawn once, not again while it is off the board
    EXPECT_TRUE(station.thermocoupleDetached());
    EXPECT_EQ(station.faults().injected().at("thermocouple detached"), 1u);
    clock.advance(19000);
    EXPECT_TRUE(station.thermocoupleDetached());
    clock.advance(1000);
    EXPECT_FALSE(station.thermocoupleDetached());

    poll();
    EXPECT_TRUE(station.thermocoupleDetached());
    station.faults().setEnabled(false);
    EXPECT_FALSE(station.thermocoupleDetached());
    EXPECT_EQ(station.faults().injected().at("thermocouple detached"), 2u);
}

TEST_F(Bench, TheInjectorKillsAHeaterForAWhileAndItHealsAtItsOwnMomentUnwatched) {
    FaultRates rates;
    rates.heaterDead = 1.0;
    rates.heaterDeadMinMs = rates.heaterDeadMaxMs = 30000;
    station.faults().setRates(rates);
    station.setHeaters(3, 2);
    host.send(frameOf(0x01));
    const std::int64_t drawnAt = station.frames().back().atMs;
    station.faults().setRates({});
    host.receive(100);
    const bool upper = station.heaterDead(Heater::Upper);
    EXPECT_NE(upper, station.heaterDead(Heater::Lower));  // one of them
    EXPECT_EQ(station.faults().injected().at("heater dead"), 1u);

    // Nobody looks until long after it healed: the board is where the model puts it.
    clock.advance(120000);
    ThermalModel expected;
    expected.setInputs(0, 3, 2, false);
    expected.setInputs(drawnAt, upper ? 3 : 1, upper ? 1 : 2, false);
    expected.setInputs(drawnAt + 30000, 3, 2, false);
    expected.advanceTo(clock.nowMs());
    EXPECT_NEAR(station.boardTemperature(), expected.temperature(), 1e-6);
    EXPECT_FALSE(station.heaterDead(Heater::Upper) || station.heaterDead(Heater::Lower));
}

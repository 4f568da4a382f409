#include "simulator/sim_station.h"
#include "tests/support/sim_host.h"

#include <gtest/gtest.h>

using testsupport::frameOf;

namespace {
// What a host sees over 200 status polls and heater commands with faults on.
std::vector<std::vector<std::uint8_t>> session(std::uint64_t seed, std::map<std::string, std::uint64_t>* counts) {
    platform::VirtualClock clock;
    simulator::SimStation station(clock, 7, seed);
    station.faults().setRates(simulator::FaultRates::uniform(0.05));
    testsupport::SimHost host{clock, station};
    std::vector<std::vector<std::uint8_t>> seen;
    for (int i = 0; i < 200; ++i) {
        station.hostPurgeRx();
        seen.push_back(host.exchange(frameOf(i % 3 == 0 ? 0xF1 : 0x01), 3000));
        if (!station.plugged()) clock.advance(16000);
    }
    if (counts) *counts = station.faults().injected();
    return seen;
}
}  // namespace

TEST(FaultInjector, SameSeedSameFaultsOtherSeedOtherFaults) {
    std::map<std::string, std::uint64_t> a, b, c;
    const auto first = session(42, &a);
    EXPECT_EQ(first, session(42, &b));
    EXPECT_EQ(a, b);
    EXPECT_NE(first, session(43, &c));
    std::uint64_t total = 0;
    for (const auto& [k, v] : a) total += v;
    EXPECT_GT(total, 10u);
}

TEST(FaultInjector, EachReplyFaultShowsOnTheLine) {
    using simulator::FaultRates;
    auto only = [](double FaultRates::*field) {
        FaultRates r;
        r.*field = 1.0;
        return r;
    };
    platform::VirtualClock clock;
    simulator::SimStation station(clock, 7);
    testsupport::SimHost host{clock, station};

    station.faults().setRates(only(&FaultRates::lost));
    EXPECT_TRUE(host.exchange(frameOf(0x01), 5000).empty());

    station.faults().setRates(only(&FaultRates::late));
    EXPECT_TRUE(host.exchange(frameOf(0x01), 40).empty());  // not within the 50 ms timeout
    EXPECT_EQ(host.receive(3000).size(), 10u);              // but it does come

    station.faults().setRates(only(&FaultRates::truncated));
    const auto t = host.exchange(frameOf(0x01));
    EXPECT_GE(t.size(), 1u);
    EXPECT_LT(t.size(), 10u);

    station.faults().setRates(only(&FaultRates::wrongAck));
    EXPECT_NE(host.exchange(frameOf(0xF1))[0], 0x55);

    station.faults().setRates(only(&FaultRates::wrongOpcode));
    EXPECT_NE(host.exchange(frameOf(0xF1))[3], 0xF1);

    station.faults().setRates(only(&FaultRates::probeError));
    EXPECT_EQ(host.exchange(frameOf(0x01))[5], 2);
}

#include "simulator/sim_station.h"
#include "tests/support/sim_host.h"

#include <gtest/gtest.h>

using simulator::SimStation;
using simulator::Violation;
using testsupport::frameOf;
using Bytes = std::vector<std::uint8_t>;

namespace {
struct Station : ::testing::Test {
    platform::VirtualClock clock;
    SimStation station{clock, 7};
    testsupport::SimHost host{clock, station};
    void TearDown() override {
        for (const auto& v : station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
    }
};

unsigned sumFrom(const Bytes& r, std::size_t from) {
    unsigned s = 0;
    for (std::size_t i = from; i < r.size(); ++i) s += r[i];
    return s % 256;
}
}  // namespace

TEST_F(Station, StatusPollAnswersTenBytesWithTheLiveState) {
    station.setBoardTemperature(300.2);
    station.setMachineMode(2);
    const Bytes r = host.exchange({0xAA, 0x02, 0x01, 0x01});
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[0], 0x55);
    EXPECT_EQ(r[2], 7);
    EXPECT_EQ(r[3], 0x01);
    EXPECT_EQ(r[4], 0x2C);  // 300 = 01 2C
    EXPECT_EQ(r[5], 0x01);
    EXPECT_EQ(r[6], 1);  // L.H. OFF
    EXPECT_EQ(r[7], 1);  // U.H. OFF
    EXPECT_EQ(r[8], 2);  // park
    EXPECT_EQ(r[9], 0);  // fan off
    EXPECT_EQ(r[1], sumFrom(r, 2));
}

TEST_F(Station, ProbeErrorReportsHighByteTwo) {
    station.setProbeError(true);
    const Bytes r = host.exchange(frameOf(0x01));
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[5], 2);
}

TEST_F(Station, ControlCommandsAreAcknowledgedAndLevelsSaturate) {
    EXPECT_EQ(host.exchange({0xAA, 0xFA, 0x01, 0xF9}), (Bytes{0x55, 0xFA, 0x01, 0xF9}));
    EXPECT_EQ(station.logClears(), 1);
    for (int i = 0; i < 4; ++i) host.exchange(frameOf(0xF1));
    EXPECT_EQ(station.upperLevel(), 3);
    for (int i = 0; i < 5; ++i) host.exchange(frameOf(0xF3));
    EXPECT_EQ(station.lowerLevel(), 4);
    host.exchange(frameOf(0xF4));
    EXPECT_EQ(station.lowerLevel(), 3);
    for (int i = 0; i < 4; ++i) host.exchange(frameOf(0xF2));
    EXPECT_EQ(station.upperLevel(), 1);
    host.exchange(frameOf(0xF6));
    EXPECT_TRUE(station.fanOn());
    EXPECT_EQ(host.exchange(frameOf(0xF5)), (Bytes{0x55, 0xF6, 0x01, 0xF5}));
    EXPECT_TRUE(station.signedOff());
}

TEST_F(Station, IdentificationCarriesIdentityAndFirmware) {
    const Bytes r = host.exchange(frameOf(0xC8));
    ASSERT_EQ(r.size(), 9u);
    EXPECT_EQ(r[2], 6);
    EXPECT_EQ(r[6], 7);
    EXPECT_EQ(r[7], 42);
    EXPECT_EQ(r[8], 7);
    EXPECT_EQ(r[1], sumFrom(r, 2));
}

TEST_F(Station, SettingsReadLengthFollowsFirmware) {
    Bytes r = host.exchange(frameOf(0xA0));
    ASSERT_EQ(r.size(), 19u);
    EXPECT_EQ(r[2], 16);
    EXPECT_EQ((Bytes{r.begin() + 4, r.end()}),
              (Bytes{0, 8, 10, 15, 0, 6, 60, 0, 205, 5, 0, 48, 50, 1, 14}));
    station.setFirmwareVersion(5);
    r = host.exchange(frameOf(0xA0));
    ASSERT_EQ(r.size(), 17u);
    EXPECT_EQ(r[2], 14);
    EXPECT_EQ(r[1], sumFrom(r, 2));
}

TEST_F(Station, SettingsWriteIsStoredAndAcknowledgedFromFirmwareSix) {
    station.setFirmwareVersion(5);
    Bytes payload{1, 2, 3, 4, 5, 6, 7, 1, 141, 9, 1, 11, 12};
    Bytes f = frameOf(0x50, payload);
    ASSERT_EQ(f.size(), 17u);
    EXPECT_TRUE(host.exchange(f).empty());  // firmware 5 does not answer
    EXPECT_EQ(station.settings()[8], 141);
    EXPECT_EQ(station.settings()[13], 1);  // not part of a 13-byte write

    station.setFirmwareVersion(6);
    payload[8] = 142;
    EXPECT_EQ(host.exchange(frameOf(0x50, payload)), (Bytes{0x55, 0x51, 0x01, 0x50}));
    EXPECT_EQ(station.settings()[8], 142);
}

TEST_F(Station, NorthBridgeProfileWriteIsStoredAndReadBackByteForByte) {
    Bytes payload;
    for (char c : std::string("NORTH BRIDGE")) payload.push_back(std::uint8_t(c));
    for (std::uint8_t b : {0, 60, 0, 140, 0, 180}) payload.push_back(b);
    for (const char* m : {"12345678901234567890", "ABCDEFGHIJKLMNOPQRST", " PICK COMPONENT NOW "})
        for (int i = 0; i < 20; ++i) payload.push_back(std::uint8_t(m[i]));
    for (std::uint8_t b : {0x81, 0xA2, 0x82}) payload.push_back(b);
    ASSERT_EQ(payload.size(), 81u);
    const Bytes f = frameOf(0xA6, payload);
    EXPECT_EQ((Bytes{f.begin() + 2, f.begin() + 4}), (Bytes{0x52, 0xA6}));

    // Start byte, short pause, header back to back, then 500 ms after each payload byte.
    station.hostWrite(f[0]);
    clock.advance(20);
    for (int i = 1; i < 4; ++i) station.hostWrite(f[std::size_t(i)]);
    for (std::size_t i = 4; i < f.size(); ++i) {
        station.hostWrite(f[i]);
        clock.advance(500);
    }
    EXPECT_EQ(host.receive(3000), (Bytes{0x55, 0xA7, 0x01, 0xA6}));
    EXPECT_EQ(Bytes(station.profile(2).begin(), station.profile(2).end()), payload);

    const Bytes r = host.exchange(frameOf(0xE6));
    ASSERT_EQ(r.size(), 85u);
    EXPECT_EQ(r[2], 82);
    EXPECT_EQ(r[3], 0xE6);
    EXPECT_EQ(Bytes(r.begin() + 4, r.end()), payload);
    EXPECT_EQ(r[1], sumFrom(r, 2));
}

TEST_F(Station, FactoryProfilesAreInTheSlots) {
    const auto& p = station.profile(3);
    EXPECT_EQ(std::string(p.begin(), p.begin() + 12), "  LEADFREE  ");
    EXPECT_EQ(p[16], 0);
    EXPECT_EQ(p[17], 240);
    EXPECT_EQ((Bytes{p[78], p[79], p[80]}), (Bytes{0x81, 0xA3, 0xF1}));
    EXPECT_EQ(station.profile(2)[80], 0xF2);
    EXPECT_EQ(station.profile(1)[78], 0xA1);
}

TEST(StationViolations, BadFramesAndRushedBytesAreRecordedAndNotAnswered) {
    platform::VirtualClock clock;
    SimStation station(clock, 7);
    testsupport::SimHost host{clock, station};

    EXPECT_TRUE(host.exchange({0xAA, 0x03, 0x01, 0x01}).empty());  // bad checksum
    ASSERT_EQ(station.violations().size(), 1u);
    EXPECT_EQ(station.violations()[0].kind, Violation::Kind::BadChecksum);

    station.clearViolations();
    host.send({0xAA, 0x02});
    host.send({0x01, 0x01}, 5);  // 5 ms after the previous byte
    EXPECT_EQ(host.receive().size(), 10u);
    ASSERT_FALSE(station.violations().empty());
    EXPECT_EQ(station.violations()[0].kind, Violation::Kind::PacingTooShort);

    station.clearViolations();
    host.send(frameOf(0x01));
    host.send(frameOf(0x01));  // the first reply was never read
    ASSERT_EQ(station.violations().size(), 1u);
    EXPECT_EQ(station.violations()[0].kind, Violation::Kind::FrameOverUnreadReply);

    station.clearViolations();
    host.receive();
    host.send({0x55});
    ASSERT_EQ(station.violations().size(), 1u);
    EXPECT_EQ(station.violations()[0].kind, Violation::Kind::BadStartByte);

    station.clearViolations();
    host.send(frameOf(0x50, {1, 2, 3}));  // wrong length for firmware 7
    EXPECT_TRUE(host.receive().empty());
    ASSERT_EQ(station.violations().size(), 1u);
    EXPECT_EQ(station.violations()[0].kind, Violation::Kind::BadLength);
}

TEST(StationViolations, ProfilePayloadBytesNeedFiveHundredMilliseconds) {
    platform::VirtualClock clock;
    SimStation station(clock, 7);
    testsupport::SimHost host{clock, station};
    host.send(frameOf(0xA5, Bytes(81, 0x20)), 100);
    bool rushed = false;
    for (const auto& v : station.violations()) rushed |= v.kind == Violation::Kind::PacingTooShort;
    EXPECT_TRUE(rushed);
}

TEST(StationSilence, AttachedButSilentStationNeverAnswers) {
    platform::VirtualClock clock;
    SimStation station(clock, 7);
    station.setSilent(true);
    testsupport::SimHost host{clock, station};
    EXPECT_TRUE(host.exchange(frameOf(0xC8)).empty());
}

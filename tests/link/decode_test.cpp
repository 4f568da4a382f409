#include "link/reply_decode.h"
#include "tests/link/link_fixture.h"

using testsupport::replyOf;
using Bytes = std::vector<std::uint8_t>;

struct Decode : LinkFixture {};

TEST_F(Decode, StatusTemperatureAndProbeError) {
    bridge.replyWith(replyOf(0x01, {0x2C, 0x01, 2, 3, 1, 0}));
    link.PollStatus();
    EXPECT_TRUE(state.CommandSucceeded);
    EXPECT_EQ(state.PcbTemperature, 300);
    EXPECT_TRUE(state.PcbTemperatureValid);
    EXPECT_EQ(state.LowerHeaterMode, core::LhPreheat);
    EXPECT_EQ(state.UpperHeaterMode, core::UhFastReflow);

    state.CommandSucceeded = false;
    bridge.replyWith(replyOf(0x01, {0x10, 0x02, 2, 3, 1, 0}));
    link.PollStatus();
    EXPECT_TRUE(state.CommandSucceeded);
    EXPECT_FALSE(state.PcbTemperatureValid);
    EXPECT_EQ(state.PcbTemperature, 300);  // keeps the previous reading
}

TEST_F(Decode, ModesAreOnlyTouchedWhenTheByteDiffersAndStrangeBytesChangeEveryPoll) {
    bridge.replyWith(replyOf(0x01, {25, 0, 1, 1, 1, 0}));
    link.PollStatus();
    state.UpperHeaterModeChanged = state.LowerHeaterModeChanged = state.MachineModeChanged = false;
    state.UpperModeChangeSeen = state.LowerModeChangeSeen = false;

    bridge.replyWith(replyOf(0x01, {25, 0, 1, 1, 1, 0}));
    link.PollStatus();
    EXPECT_FALSE(state.UpperHeaterModeChanged || state.LowerHeaterModeChanged || state.MachineModeChanged);

    for (int i = 0; i < 2; ++i) {
        state.UpperHeaterModeChanged = state.LowerHeaterModeChanged = false;
        bridge.replyWith(replyOf(0x01, {25, 0, 9, 7, 3, 1}));
        link.PollStatus();
        EXPECT_EQ(state.LowerHeaterMode, core::LhUnknown);
        EXPECT_EQ(state.UpperHeaterMode, core::UhUnknown);
        EXPECT_TRUE(state.LowerHeaterModeChanged && state.UpperHeaterModeChanged) << "poll " << i;
        EXPECT_TRUE(state.LowerModeChangeSeen && state.UpperModeChangeSeen);
        EXPECT_EQ(state.MachineMode, 3);
        EXPECT_EQ(state.FanState, 1);
    }
}

TEST_F(Decode, StatusWithWrongChecksumStillUpdatesThenReportsAndCloses) {
    Bytes r = replyOf(0x01, {0x2C, 0x01, 3, 2, 2, 0});
    r[1] ^= 0x0F;
    bridge.replyWith(r);
    link.PollStatus();
    EXPECT_EQ(state.PcbTemperature, 300);
    EXPECT_EQ(state.LowerHeaterMode, core::LhReflow);
    EXPECT_EQ(state.MachineMode, 2);
    ASSERT_EQ(lines().size(), 4);
    EXPECT_EQ(lines()[0], "Checksum Error");
    EXPECT_EQ(lines()[3], "Flush 1 occurrred");
    EXPECT_FALSE(bridge.isOpen());
    EXPECT_FALSE(state.CommandSucceeded);
}

TEST_F(Decode, IdentificationText) {
    EXPECT_EQ(stationlink::machineIdText(7, 42), "06370742");
    EXPECT_EQ(stationlink::machineIdText(255, 0), "063725500");
    bridge.replyWith(replyOf(0xC8, {1, 2, 7, 255, 6}));
    link.ReadIdentification();
    EXPECT_TRUE(state.CommandSucceeded);
    EXPECT_EQ(state.MachineId, "063707255");
    EXPECT_EQ(state.FirmwareVersion, 6);
}

TEST_F(Decode, SettingsReadLengthFollowsFirmware) {
    Bytes fw7(15);
    for (int i = 0; i < 15; ++i) fw7[std::size_t(i)] = std::uint8_t(100 + i);
    fw7[10] = 1;
    bridge.replyWith(replyOf(0xA0, fw7));
    link.ReadSettings();
    EXPECT_TRUE(state.CommandSucceeded);
    EXPECT_EQ(state.MachineSettings[14], 114);
    EXPECT_EQ(state.Settings.TempUnit, 1);
    EXPECT_EQ(link.Timer1().interval(), 500);  // left at 500

    state.FirmwareVersion = 5;
    state.CommandSucceeded = false;
    state.MachineSettings[13] = state.MachineSettings[14] = 0;
    bridge.replyWith(replyOf(0xA0, Bytes(13, 3)));
    link.ReadSettings();
    EXPECT_TRUE(state.CommandSucceeded);
    EXPECT_EQ(state.MachineSettings[12], 3);
    EXPECT_EQ(state.MachineSettings[13], 0);  // not part of a firmware-5 block
    EXPECT_EQ(state.Settings.TempUnit, 3);

    // A firmware-5 sized reply while firmware 7 is expected times out waiting for the rest.
    state.FirmwareVersion = 7;
    state.CommandSucceeded = false;
    bridge.replyWith(replyOf(0xA0, Bytes(13, 3)));
    link.ReadSettings();
    EXPECT_FALSE(state.CommandSucceeded);
    EXPECT_EQ(lines().back(), "Timeout 3");
}

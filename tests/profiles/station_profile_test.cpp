// What a station slot puts on screen, and what the screen puts into a slot.
#include "link/station_profile.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using stationlink::RetrievedProfile;
using stationlink::ScreenProfile;

namespace {
core::ProfileTransfer slotHolding(int x1, int x2, int x3, std::uint8_t mode1, std::uint8_t mode2, std::uint8_t mode3) {
    core::ProfileTransfer t;
    t.Name = "  NORTH BR  ";
    t.X1High = std::uint8_t(x1 / 256), t.X1Low = std::uint8_t(x1 % 256);
    t.X2High = std::uint8_t(x2 / 256), t.X2Low = std::uint8_t(x2 % 256);
    t.X3High = std::uint8_t(x3 / 256), t.X3Low = std::uint8_t(x3 % 256);
    t.X1Message = " MOVE U.H. NOW ...  ";
    t.X2Message = "   SWITCH PUMP ON   ";
    t.X3Message = "PICK";
    const std::uint8_t modes[] = {mode1, mode2, mode3};
    std::int16_t* upper[] = {&t.X1UpperRead, &t.X2UpperRead, &t.X3UpperRead};
    std::int16_t* lower[] = {&t.X1LowerRead, &t.X2LowerRead, &t.X3LowerRead};
    for (int i = 0; i < 3; ++i) {
        *upper[i] = modes[i] & 15;
        *lower[i] = std::int16_t(((modes[i] & 240) / 16) * 50);
    }
    return t;
}
}  // namespace

TEST(StationProfile, ReadBackHeaterValuesSelectListPositions) {
    struct Case {
        int read;
        std::optional<int> position;
    } lower[] = {{0, 0},   {50, 0},  {150, 0}, {199, 0}, {200, std::nullopt}, {250, 1}, {450, 1}, {499, 1},
                 {500, 2}, {550, 2}, {599, 2}, {600, std::nullopt}, {650, 3}, {750, 3}};
    for (const Case& c : lower) EXPECT_EQ(stationlink::lowerPositionFromRead(c.read), c.position) << c.read;
    for (int code : {0, 4, 15}) EXPECT_EQ(stationlink::upperPositionFromRead(code), std::nullopt) << code;
    for (int code : {1, 2, 3}) EXPECT_EQ(stationlink::upperPositionFromRead(code), code - 1);
}

TEST(StationProfile, ARetrievedSlotAsTheEditorShowsIt) {
    const RetrievedProfile r = stationlink::screenFromTransfer(slotHolding(60, 140, 260, 0xA1, 0x41, 0xF3), false);
    EXPECT_EQ(r.name, "NORTH BR  ") << "leading blanks go, trailing blanks stay";
    EXPECT_EQ(r.temperatures, (std::array<QString, 3>{"60", "140", "260"}));
    EXPECT_EQ(r.messages[0], "MOVE U.H. NOW ...  ");
    EXPECT_EQ(r.messages[1], "SWITCH PUMP ON   ");
    EXPECT_EQ(r.lowerPositions[0], 2) << "0xA1: REFLOW";
    EXPECT_EQ(r.upperPositions[0], 0) << "0xA1: OFF";
    EXPECT_EQ(r.lowerPositions[1], std::nullopt) << "0x41 leaves the L.H. selection";
    EXPECT_EQ(r.lowerPositions[2], 3);
    EXPECT_EQ(r.upperPositions[2], 2);

    const RetrievedProfile f = stationlink::screenFromTransfer(slotHolding(60, 150, 180, 0x81, 0xA2, 0x82), true);
    EXPECT_EQ(f.temperatures, (std::array<QString, 3>{"140", "302", "356"}));
}

TEST(StationProfile, TheX3FixUps) {
    EXPECT_EQ(stationlink::screenFromTransfer(slotHolding(60, 140, 24, 0x11, 0x11, 0x11), false).temperatures[2], "240");
    EXPECT_EQ(stationlink::screenFromTransfer(slotHolding(60, 140, 24, 0x11, 0x11, 0x11), true).temperatures[2], "464");
    EXPECT_EQ(stationlink::screenFromTransfer(slotHolding(60, 140, 25, 0x11, 0x11, 0x11), false).temperatures[2], "25");
    EXPECT_EQ(stationlink::screenFromTransfer(slotHolding(60, 140, 23, 0x11, 0x11, 0x11), true).temperatures[2], "73")
        << "23 C shows as 73 F, which is not above 73";
    EXPECT_EQ(stationlink::screenFromTransfer(slotHolding(60, 140, 25, 0x11, 0x11, 0x11), true).temperatures[2], "77");
}

TEST(StationProfile, TheScreenIntoASlotAndBack) {
    ScreenProfile s;
    s.name = "NORTH BRIDGE";
    s.temperatures = {"60", "140", "260"};
    s.messages = {"PRE", "SOAK", "REFLOW"};
    s.lowerPositions = {1, 2, 1};
    s.upperPositions = {0, 1, 1};
    const auto t = stationlink::transferFromScreen(s, false);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->Name, "NORTH BRIDGE");
    EXPECT_EQ(t->X1Message, "PRE                 ");
    EXPECT_EQ(t->X3High, 1);
    EXPECT_EQ(t->X3Low, 4);
    EXPECT_EQ(t->X1LowerCode * 16 + t->X1UpperCode, 0x81);
    EXPECT_EQ(t->X2LowerCode * 16 + t->X2UpperCode, 0xA2);
    EXPECT_EQ(t->X3LowerCode * 16 + t->X3UpperCode, 0x82);

    s.temperatures = {"140", "302", "356"};
    const auto f = stationlink::transferFromScreen(s, true);
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->X2Low, 150);

    s.temperatures[1] = "";
    EXPECT_FALSE(stationlink::transferFromScreen(s, false).has_value());

    // The verify compares what was sent with what the slot gives back.
    core::ProfileTransfer back = *t;
    back.X1UpperRead = t->X1UpperCode, back.X2UpperRead = t->X2UpperCode, back.X3UpperRead = t->X3UpperCode;
    back.X1LowerRead = t->X1LowerCode * 50, back.X2LowerRead = t->X2LowerCode * 50, back.X3LowerRead = t->X3LowerCode * 50;
    EXPECT_TRUE(stationlink::sameStationProfile(*t, back));
    for (int field = 0; field < 4; ++field) {
        core::ProfileTransfer wrong = back;
        if (field == 0) wrong.Name[3] = 'X';
        if (field == 1) wrong.X2Low ^= 1;
        if (field == 2) wrong.X3Message[19] = '!';
        if (field == 3) wrong.X2LowerRead = 8 * 50;
        EXPECT_FALSE(stationlink::sameStationProfile(*t, wrong)) << field;
        EXPECT_FALSE(stationlink::sameOnScreen(*t, wrong, false)) << field;
    }
    // An X3 of 240 kept as 24 shows as 240 again: verified on screen, not byte for byte.
    s.temperatures = {"60", "140", "240"};
    const auto x240 = stationlink::transferFromScreen(s, false);
    core::ProfileTransfer kept = back;
    kept.X3High = 0, kept.X3Low = 24;
    EXPECT_TRUE(stationlink::sameOnScreen(*x240, kept, false));
    EXPECT_FALSE(stationlink::sameStationProfile(*x240, kept));
    kept.X3Low = 25;
    EXPECT_FALSE(stationlink::sameOnScreen(*x240, kept, false));

    // Below 0 C a slot cannot hold the point: 20 F is -7 C.
    s.temperatures = {"100", "20", "300"};
    EXPECT_EQ(stationlink::pointBelowZero(s, true), 1);
    EXPECT_EQ(stationlink::pointBelowZero(s, false), std::nullopt);
}

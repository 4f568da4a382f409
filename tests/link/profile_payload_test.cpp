// The 81-byte profile payload: layout, mode bytes, temperatures, padding, decoding, and
// the write-error texts that carry a character code.
#include "link/frame.h"
#include "link/profile_payload.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <vector>

using namespace stationlink;
using Bytes = std::vector<std::uint8_t>;

namespace {

core::ProfileTransfer northBridge() {
    core::ProfileTransfer t;
    t.ProfileNumber = 2;
    t.Name = "NORTH BRIDGE";
    setProfileTemperature(t, 1, 60);
    setProfileTemperature(t, 2, 140);
    setProfileTemperature(t, 3, 180);
    t.X1Message = " MOVE U.H. NOW ...  ";
    t.X2Message = "   SWITCH PUMP ON   ";
    t.X3Message = " PICK COMPONENT NOW ";
    t.X1LowerCode = 8, t.X1UpperCode = 1;   // PREHEAT / OFF
    t.X2LowerCode = 10, t.X2UpperCode = 2;  // REFLOW / REFLOW
    t.X3LowerCode = 8, t.X3UpperCode = 2;   // PREHEAT / REFLOW
    return t;
}

Bytes slice(const ProfilePayload& p, int from, int count) { return Bytes(p.begin() + from, p.begin() + from + count); }

}  // namespace

TEST(ProfilePayload, NorthBridgeExampleByteForByte) {
    const ProfilePayload p = encodeProfilePayload(northBridge());
    EXPECT_EQ(slice(p, 0, 18), (Bytes{0x4E, 0x4F, 0x52, 0x54, 0x48, 0x20, 0x42, 0x52, 0x49, 0x44, 0x47, 0x45, 0x00,
                                      0x3C, 0x00, 0x8C, 0x00, 0xB4}));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(p.data()) + 18, 60),
              QByteArray(" MOVE U.H. NOW ...     SWITCH PUMP ON    PICK COMPONENT NOW "));
    EXPECT_EQ(slice(p, 78, 3), (Bytes{0x81, 0xA2, 0x82}));

    // The whole write frame: AA, checksum over 82 + opcode + payload, 52, A6, payload.
    const Bytes frame = buildFrame(*profileWriteOpcode(2), p);
    ASSERT_EQ(frame.size(), 85u);
    unsigned sum = 82 + 0xA6;
    for (std::uint8_t b : p) sum += b;
    EXPECT_EQ((Bytes{frame.begin(), frame.begin() + 4}), (Bytes{0xAA, std::uint8_t(sum % 256), 0x52, 0xA6}));
}

TEST(ProfilePayload, ModeBytesCarryLowerCodeHighAndUpperCodeLow) {
    struct Row {
        std::uint8_t lower, upper, mode;
        std::int16_t upperRead, lowerRead;
    };
    const Row rows[] = {
        {10, 1, 0xA1, 1, 500},  // REFLOW / OFF
        {8, 2, 0x82, 2, 400},   // PREHEAT / REFLOW
        {15, 3, 0xF3, 3, 750},  // FAST REFLOW / FAST REFLOW
        {1, 1, 0x11, 1, 50},    // OFF / OFF
        {4, 1, 0x41, 1, 200},   // a code the editor does not send: read back as 200
        {12, 0, 0xC0, 0, 600},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.mode));
        EXPECT_EQ(profileModeByte(r.lower, r.upper), r.mode);
        EXPECT_EQ(upperCodeRead(r.mode), r.upperRead);
        EXPECT_EQ(lowerCodeRead(r.mode), r.lowerRead);

        core::ProfileTransfer t = northBridge();
        ProfilePayload p = encodeProfilePayload(t);
        p[79] = r.mode;
        decodeNameAndReadBack(p, t);
        EXPECT_EQ(t.X2UpperRead, r.upperRead);
        EXPECT_EQ(t.X2LowerRead, r.lowerRead);
    }
}

TEST(ProfilePayload, TemperaturesTravelHighByteFirstAndComeBackWhole) {
    struct Row {
        int celsius;
        std::uint8_t high, low;
    };
    const Row rows[] = {{260, 0x01, 0x04}, {60, 0x00, 0x3C}, {255, 0x00, 0xFF}, {256, 0x01, 0x00},
                        {0, 0x00, 0x00},   {500, 0x01, 0xF4}, {65535, 0xFF, 0xFF}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.celsius);
        core::ProfileTransfer t;
        ASSERT_TRUE(setProfileTemperature(t, 3, r.celsius));
        const ProfilePayload p = encodeProfilePayload(t);
        EXPECT_EQ(slice(p, 16, 2), (Bytes{r.high, r.low}));

        core::ProfileTransfer back;
        decodeTemperaturesAndMessages(p, back);
        EXPECT_EQ(profileTemperature(back, 3), r.celsius);
        EXPECT_EQ(back.X3High, r.high);
        EXPECT_EQ(back.X3Low, r.low);
    }
    core::ProfileTransfer t;
    EXPECT_FALSE(setProfileTemperature(t, 1, -1));
    EXPECT_FALSE(setProfileTemperature(t, 1, 65536));
    EXPECT_FALSE(setProfileTemperature(t, 4, 100));
}

TEST(ProfilePayload, TextsArePaddedOrCutToTheirFixedWidths) {
    core::ProfileTransfer t;
    t.Name = "LF";
    t.X1Message = "";
    t.X2Message = "A MESSAGE THAT IS FAR TOO LONG";
    t.X3Message = "\xE9t\xE9";  // single-byte characters above 127 travel as they are
    const ProfilePayload p = encodeProfilePayload(t);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(p.data()), 12), QByteArray("LF          "));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(p.data()) + 18, 20), QByteArray(20, ' '));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(p.data()) + 38, 20), QByteArray("A MESSAGE THAT IS FA"));
    EXPECT_EQ(slice(p, 58, 4), (Bytes{0xE9, 't', 0xE9, ' '}));
}

TEST(ProfilePayload, DecodingGivesBackWhatWasEncoded) {
    const core::ProfileTransfer sent = northBridge();
    core::ProfileTransfer got;
    const ProfilePayload p = encodeProfilePayload(sent);
    decodeNameAndReadBack(p, got);
    EXPECT_EQ(got.Name, sent.Name);
    EXPECT_EQ(got.X1Message, QByteArray());  // not yet: messages come with the second part
    decodeTemperaturesAndMessages(p, got);
    EXPECT_EQ(got.X1Message, sent.X1Message);
    EXPECT_EQ(got.X2Message, sent.X2Message);
    EXPECT_EQ(got.X3Message, sent.X3Message);
    for (int point = 1; point <= 3; ++point) EXPECT_EQ(profileTemperature(got, point), profileTemperature(sent, point));
    EXPECT_EQ((std::array<int, 6>{got.X1UpperRead, got.X1LowerRead, got.X2UpperRead, got.X2LowerRead,
                                  got.X3UpperRead, got.X3LowerRead}),
              (std::array<int, 6>{1, 400, 2, 500, 2, 400}));

    ReplyBuffer reply{};
    std::copy(p.begin(), p.end(), reply.begin() + 5);
    EXPECT_EQ(profilePayloadOfReply(reply), p);
}

TEST(ProfilePayload, SlotNumbersGiveTheirOpcodesAndNothingElseDoes) {
    EXPECT_EQ(profileWriteOpcode(1), 0xA5);
    EXPECT_EQ(profileWriteOpcode(3), 0xA7);
    EXPECT_EQ(profileReadOpcode(1), 0xE5);
    EXPECT_EQ(profileReadOpcode(2), 0xE6);
    for (int bad : {0, 4, -1, 32767}) {
        EXPECT_FALSE(profileWriteOpcode(bad)) << bad;
        EXPECT_FALSE(profileReadOpcode(bad)) << bad;
    }
}

TEST(ProfilePayload, WriteErrorTextsEndInTheCharacterCode) {
    const ProfilePayload p = encodeProfilePayload(northBridge());
    struct Row {
        int index;
        const char* text;
    };
    const Row rows[] = {
        {0, "Write Error 110578"},    // 'N', the byte being sent
        {11, "Write Error 110569"},   // 'E'
        {12, "Write Error 110669"},   // X1High: the twelfth name character
        {13, "Write Error 110769"},   // X1Low
        {17, "Write Error 111169"},   // X3Low
        {18, "Write Error 111232"},   // first X1 message character, ' '
        {19, "Write Error 111277"},   // 'M'
        {40, "Write Error 111332"},   // third X2 message character
        {42, "Write Error 111387"},   // 'W' of SWITCH
        {59, "Write Error 111480"},   // 'P' of PICK
        {77, "Write Error 111432"},   // last X3 message character
        {78, "Write Error 111532"},   // X1 mode byte: the last X3 message character
        {80, "Write Error 111732"},
    };
    for (const Row& r : rows) EXPECT_EQ(profileWriteErrorText(p, r.index), QString(r.text)) << r.index;
}

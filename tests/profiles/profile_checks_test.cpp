#include "profiles/profile_checks.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <set>

using namespace profiles;

namespace {

struct TemperatureCase {
    const char* what;
    int box;  // the point whose box loses the focus
    const char *x1, *x2, *x3;
    DisplayUnit unit;
    const char* failure;  // "" for none
    ProfileBox focus;
    std::optional<SetPoints> setPoints;
};

constexpr auto C = DisplayUnit::Celsius;
constexpr auto F = DisplayUnit::Fahrenheit;
constexpr auto None = ProfileBox::None;

const TemperatureCase kTemperatureCases[] = {
    {"C: the lower bound itself passes", 1, "30", "100", "200", C, "", None, SetPoints{30, 100, 200}},
    {"C: 29 fails the X1 bound", 1, "29", "100", "200", C, "X1 Temperature Must be more than 30 C", ProfileBox::Text1, {}},
    {"C: the X1 bound is checked with X2 empty", 1, "29", "", "", C, "X1 Temperature Must be more than 30 C",
     ProfileBox::Text1, {}},
    {"C: X1 alone is left quietly", 1, "150", "", "200", C, "", None, {}},
    {"C: X3 = 300 passes", 3, "30", "100", "300", C, "", None, SetPoints{30, 100, 300}},
    {"C: X3 = 301 fails", 3, "30", "100", "301", C, "X3 Temperature Must be Less than 300 C", ProfileBox::Text5, {}},
    {"C: X1 above 300", 1, "301", "302", "303", C, "X1 Temperature Must be Less than 300 C", ProfileBox::Text1, {}},
    {"C: X2 above 300 before X3", 2, "100", "301", "302", C, "X2 Temperature Must be Less than 300 C",
     ProfileBox::Text3, {}},
    {"C: leaving X2 reports a low X1 in the X1 box", 2, "29", "100", "200", C,
     "X1 Temperature Must be more than 30 C", ProfileBox::Text1, {}},
    {"C: equal X1 and X2", 1, "150", "150", "200", C, "X2 Temperature Must be > X1 Value", ProfileBox::Text3, {}},
    {"C: X2 above X1 but not below X3", 3, "100", "200", "200", C, "X3 Temperature Must be > X2 Value",
     ProfileBox::Text5, {}},
    {"C: a decimal point", 1, "150.5", "200", "250", C, "Invalid character in X1 Value", ProfileBox::Text1, {}},
    {"C: a minus sign", 1, "-20", "200", "250", C, "Invalid character in X1 Value", ProfileBox::Text1, {}},
    {"C: a letter in X2 with X1 empty", 2, "", "1a0", "250", C, "Invalid character in X2 Value", ProfileBox::Text3, {}},
    {"C: a blank in X3", 3, "100", "200", "2 50", C, "Invalid character in X3 Value", ProfileBox::Text5, {}},
    {"C: a digit of another script", 1, "\u0661\u0665\u0660", "200", "250", C, "Invalid character in X1 Value",
     ProfileBox::Text1, {}},
    {"C: an empty box left is no check at all", 2, "29", "", "", C, "", None, {}},
    {"C: a number far beyond 16 bits is simply too high", 3, "100", "200", "99999999999999999999999", C,
     "X3 Temperature Must be Less than 300 C", ProfileBox::Text5, {}},
    {"F: the lower bound itself passes", 1, "86", "200", "400", F, "", None, SetPoints{30, 93, 204}},
    {"F: 85 fails", 1, "85", "200", "400", F, "X1 Temperature Must be More than 86 F", ProfileBox::Text1, {}},
    {"F: X2 = 573", 2, "100", "573", "574", F, "X2 Temperature Must be Less than 572 F", ProfileBox::Text3, {}},
    {"F: 572 passes", 3, "100", "400", "572", F, "", None, SetPoints{38, 204, 300}},
    {"F: 302 is 150", 3, "302", "400", "500", F, "", None, SetPoints{150, 204, 260}},
    {"F: X1 above 572", 1, "573", "574", "575", F, "X1 Temperature Must be Less than 572 F", ProfileBox::Text1, {}},
    {"F: X3 above 572", 3, "100", "200", "600", F, "X3 Temperature Must be Less than 572 F", ProfileBox::Text5, {}},
    {"F: order", 3, "100", "300", "250", F, "X3 Temperature Must be > X2 Value", ProfileBox::Text5, {}},
};

class TemperatureBox : public ::testing::TestWithParam<TemperatureCase> {};

}  // namespace

TEST_P(TemperatureBox, ChecksAsTheBoxLosesTheFocus) {
    const TemperatureCase& c = GetParam();
    ProfileRecord r;
    r.X1.PointTemperature = QString::fromUtf8(c.x1);
    r.X2.PointTemperature = QString::fromUtf8(c.x2);
    r.X3.PointTemperature = QString::fromUtf8(c.x3);
    const SetPointCheck result = checkTemperatureBox(c.box, r, c.unit);
    if (*c.failure) {
        ASSERT_TRUE(result.failure) << c.what;
        EXPECT_EQ(result.failure->title, "Data Error");
        EXPECT_EQ(result.failure->text, c.failure) << c.what;
        EXPECT_EQ(result.failure->box, c.focus) << c.what;
        EXPECT_FALSE(result.setPoints) << c.what << ": a failure leaves the working copies";
    } else {
        EXPECT_FALSE(result.failure) << c.what << ": " << result.failure.value_or(Verdict{}).text.toStdString();
        EXPECT_EQ(result.setPoints, c.setPoints) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TemperatureBox, ::testing::ValuesIn(kTemperatureCases));

TEST(SetPoints, CheckSetPointsAloneJudgesRangesAndOrderButNotCharacters) {
    ProfileRecord r;
    r.X1.PointTemperature = "100";
    r.X2.PointTemperature = "200";
    EXPECT_FALSE(CheckSetPoints(r, C).failure);
    EXPECT_FALSE(CheckSetPoints(r, C).setPoints);  // one box empty: nothing changes
    r.X3.PointTemperature = "250";
    EXPECT_EQ(CheckSetPoints(r, C).setPoints, (SetPoints{100, 200, 250}));

    core::SharedState state;
    storeSetPoints(state, *CheckSetPoints(r, C).setPoints);
    EXPECT_EQ(state.X1SetPointC, 100);
    EXPECT_EQ(state.X2SetPointC, 200);
    EXPECT_EQ(state.X3SetPointC, 250);
}

// Messages and the name are judged character by character against the accepted sets.
TEST(TextChecks, EveryCharacterCodeMeetsItsVerdict) {
    std::set<unsigned> messageOk{32, 38, 45, 46};
    std::set<unsigned> nameOk{32, 45};
    for (unsigned c = 48; c <= 57; ++c) messageOk.insert(c), nameOk.insert(c);
    for (unsigned c = 65; c <= 90; ++c) messageOk.insert(c), nameOk.insert(c);
    for (unsigned c = 97; c <= 122; ++c) messageOk.insert(c), nameOk.insert(c);
    for (unsigned c = 0; c < 0x180; ++c) {
        const QString text = "A" + QString(QChar(char16_t(c))) + "B";
        const auto m = checkMessage(2, text);
        if (messageOk.count(c)) {
            EXPECT_FALSE(m) << "code " << c;
        } else {
            ASSERT_TRUE(m) << "code " << c;
            EXPECT_EQ(m->text, c >= 58 && c <= 64 ? "(X2 Message)invalid character" : "(X2 Message) invalid character")
                << "code " << c;
            EXPECT_EQ(m->box, ProfileBox::Text4);
        }
        const auto n = checkName(text);
        if (nameOk.count(c)) {
            EXPECT_FALSE(n) << "code " << c;
        } else {
            ASSERT_TRUE(n) << "code " << c;
            EXPECT_EQ(n->text, "(Profile Name) invalid character");
            EXPECT_EQ(n->box, ProfileBox::Text7);
        }
    }
}

TEST(TextChecks, MessagesAndNames) {
    struct Case {
        int n;  // 0 for the name
        const char* text;
        const char* failure;
    } cases[] = {
        {1, "", ""},
        {1, "ABCDEFGHIJ0123456789", ""},
        {3, "ABCDEFGHIJ0123456789:", "X3 Message must be < 21 characters"},  // length before characters
        {1, "PREHEAT 150.5 & -", ""},
        {2, "SOAK: 60 S", "(X2 Message)invalid character"},
        {1, "PRE,HEAT", "(X1 Message) invalid character"},
        {2, "A,B:C", "(X2 Message) invalid character"},  // the first bad character decides
        {2, "A:B,C", "(X2 Message)invalid character"},
        {3, "REFLOW\u20ac", "(X3 Message) invalid character"},
        {0, "", ""},
        {0, "Lead-free 12", ""},
        {0, "BGA.1", "(Profile Name) invalid character"},
        {0, "A&B", "(Profile Name) invalid character"},
        {0, "ABCDEFGHIJKL", ""},
        {0, "ABCDEFGHIJKLM", "Profile Name must be < 13 characters"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const auto v = c.n ? checkMessage(c.n, text) : checkName(text);
        if (*c.failure) {
            ASSERT_TRUE(v) << c.text;
            EXPECT_EQ(v->text, c.failure) << c.text;
            EXPECT_EQ(v->title, "Data Error");
            EXPECT_EQ(v->box, c.n ? messageBox(c.n) : ProfileBox::Text7);
        } else {
            EXPECT_FALSE(v) << c.text;
        }
    }
}

TEST(CodeTables, PositionsAndCodesMapBothWays) {
    EXPECT_EQ(kLowerHeaterEntries, (QStringList{"OFF", "PERHEAT", "REFLOW", "FAST REFLOW"}));
    EXPECT_EQ(kUpperHeaterEntries, (QStringList{"OFF", "REFLOW", "FAST REFLOW"}));
    const int lower[] = {1, 8, 10, 15};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(lowerHeaterCode(p), lower[p]);
        EXPECT_EQ(lowerHeaterPosition(lower[p]), p);
    }
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(upperHeaterCode(p), p + 1);
        EXPECT_EQ(upperHeaterPosition(p + 1), p);
    }
    for (int bad : {-1, 4}) EXPECT_FALSE(lowerHeaterCode(bad));
    for (int bad : {-1, 3}) EXPECT_FALSE(upperHeaterCode(bad));
    for (int bad : {0, 2, 9, 11, 16}) EXPECT_FALSE(lowerHeaterPosition(bad));
    for (int bad : {0, 4, 8}) EXPECT_FALSE(upperHeaterPosition(bad));
}

TEST(CodeTables, ANewProfileHasTheOpeningValues) {
    const ProfileRecord r;
    EXPECT_EQ(r.ProfileName, "Untitled");
    for (int n = 1; n <= 3; ++n) {
        EXPECT_TRUE(r.point(n).PointTemperature.isEmpty());
        EXPECT_TRUE(r.point(n).PointMessage.isEmpty());
        EXPECT_EQ(r.point(n).LHMode, 0);
        EXPECT_EQ(r.point(n).UHMode, 0);
        EXPECT_FALSE(r.point(n).Fan);
        EXPECT_EQ(r.point(n).ParkMode, n == 1 ? 1 : 0);
    }
    EXPECT_EQ(r.Alloy, AlloyKind::Leaded);
}

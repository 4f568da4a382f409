#include "profiles/profile_fields.h"
#include "profiles/profile_file.h"
#include "tests/profiles/profile_samples.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace profiles;
using profilesamples::exampleLines;
using profilesamples::exampleRecord;
using profilesamples::joined;

namespace {
constexpr auto C = DisplayUnit::Celsius;
constexpr auto F = DisplayUnit::Fahrenheit;

QStringList withLine(int lineNumber, const QString& text) {
    QStringList l = exampleLines();
    l[lineNumber - 1] = text;
    return l;
}
}  // namespace

// --- the field rule ---

TEST(FieldReader, SplitsAtCommasAndLineEnds) {
    struct Case {
        QByteArray input;
        QStringList fields;
    } cases[] = {
        {"", {}},
        {"  \r\n\t\n ", {}},
        {"a,b\r\nc", {"a", "b", "c"}},
        {"  a  ,  b  \r\n", {"a  ", "b  "}},  // blanks before a field skipped, after it kept
        {"a\rb\nc\r\n", {"a", "b", "c"}},
        {"a\r\n\r\nb", {"a", "", "b"}},  // a blank line is an empty field
        {"\"a,b\"x,c", {"a,b", "c"}},    // quoted: commas kept, the rest after the quote dropped
        {"  \"open\r\nnext", {"open", "next"}},
        {"a\"b,c", {"a\"b", "c"}},
        {"a,\r\n", {"a"}},
        {QByteArray("x\0y,\xe9", 5), {QString::fromLatin1("x\0y", 3), QString(QChar(0xe9))}},
    };
    for (const Case& c : cases) {
        FieldReader reader(c.input);
        QStringList got;
        while (auto f = reader.next()) got << *f;
        EXPECT_EQ(got, c.fields) << c.input.toStdString();
        EXPECT_TRUE(reader.atEnd());
    }
}

TEST(FieldReader, WholeNumbersInSixteenBits) {
    struct Case {
        const char* text;
        std::optional<std::int16_t> value;
    } cases[] = {
        {"150", 150},     {" 150\t ", 150},  {"-20", -20},  {"+5", 5},         {"0150", 150},
        {"32767", 32767}, {"-32768", -32768}, {"32768", {}}, {"-32769", {}},     {"99999999999999999999", {}},
        {"1 50", {}},     {"15a", {}},       {"1.5", {}},   {"", {}},           {"-", {}},
        {"  ", {}},       {"1e2", {}},       {"\u0661", {}}, {"0000000000000000000001", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(wholeNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

// --- the writer ---

TEST(ProfileWriter, WritesTheFileLineByLine) {
    const EncodedProfile e = encodeProfile(exampleRecord(), C);
    ASSERT_FALSE(e.refusal);
    EXPECT_EQ(e.bytes, joined(exampleLines()));
}

TEST(ProfileWriter, StoresCelsiusWhateverTheDisplay) {
    ProfileRecord r = exampleRecord();
    r.X1.PointTemperature = "302";
    r.X2.PointTemperature = "361";
    r.X3.PointTemperature = "437";
    EXPECT_EQ(encodeProfile(r, F).bytes, joined(exampleLines()));
    r.X1.PointTemperature = "-40";  // only checked boxes reach the writer, but it converts any number
    EXPECT_TRUE(encodeProfile(r, F).bytes.contains("\r\nX1PointTemperature=-40\r\n"));
}

TEST(ProfileWriter, CodesFlagsAndTextsAsTheyStand) {
    ProfileRecord r = exampleRecord();
    r.ProfileName = "BGA  ";
    r.X1 = {"0150", "  PRE  ", 0, 0, true, 0};
    r.X2 = {"183", QString::fromLatin1("SO\xc9K"), 3, 2, true, 1};
    r.X3 = {"225", "REFLOW              ", 2, 1, false, 1};
    const QByteArray b = encodeProfile(r, C).bytes;
    EXPECT_EQ(b, joined({"[ZENTProfile]", "ProfileName=BGA  ", "X1PointTemperature=0150", "X2PointTemperature=183",
                         "X3PointTemperature=225", "X1LHMode=1", "X2LHMode=15", "X3LHMode=10", "X1UHMode=1",
                         "X2UHMode=3", "X3UHMode=2", "X1PointMessage=  PRE  ",
                         QString::fromLatin1("X2PointMessage=SO\xc9K"), "X3PointMessage=REFLOW              ",
                         "1-1-0-0-1-1"}));
    EXPECT_TRUE(b.contains("SO\xc9K\r\n"));  // one byte per character
}

TEST(ProfileWriter, RefusesInOrderAndNamesTheBox) {
    struct Case {
        const char* what;
        void (*change)(ProfileRecord&);
        DisplayUnit unit;
        const char* title;
        const char* text;
        ProfileBox box;
    } cases[] = {
        {"empty name before anything", [](ProfileRecord& r) { r.ProfileName.clear(); r.X1.PointTemperature.clear(); }, C,
         "Data Error", "Profile Name must be specified", ProfileBox::Text7},
        {"X2 temperature", [](ProfileRecord& r) { r.X2.PointTemperature.clear(); r.X1.PointMessage.clear(); }, C,
         "Data Error", "Enter X2 Temperature value", ProfileBox::Text3},
        {"X3 temperature", [](ProfileRecord& r) { r.X3.PointTemperature.clear(); }, C, "Data Error",
         "Enter X3 Temperature value", ProfileBox::Text5},
        {"X1 message", [](ProfileRecord& r) { r.X1.PointMessage.clear(); r.X3.PointMessage.clear(); }, C,
         "Data Error", "Enter X1 Message", ProfileBox::Text2},
        {"X3 message", [](ProfileRecord& r) { r.X3.PointMessage.clear(); }, C, "Data Error", "Enter X3 Message",
         ProfileBox::Text6},
        {"a blank name is not empty, a euro sign is unstorable",
         [](ProfileRecord& r) { r.ProfileName = " "; r.X1.PointMessage = "5 \u20ac"; }, C, "Profile Error",
         "X1 Message holds a character that cannot be stored", ProfileBox::Text2},
        {"name beyond Latin-1", [](ProfileRecord& r) { r.ProfileName = "\u0411GA"; }, C, "Profile Error",
         "Profile Name holds a character that cannot be stored", ProfileBox::Text7},
        {"a line end in the name", [](ProfileRecord& r) { r.ProfileName = "A\nB"; }, C, "Profile Error",
         "Profile Name holds a character that cannot be stored", ProfileBox::Text7},
        {"a Celsius box is stored as text", [](ProfileRecord& r) { r.X2.PointTemperature = "1\u20ac"; }, C,
         "Profile Error", "X2 Temperature Setpoint holds a character that cannot be stored", ProfileBox::Text3},
        {"X3 message emoji", [](ProfileRecord& r) { r.X3.PointMessage = "HOT \U0001F525"; }, C, "Profile Error",
         "X3 Message holds a character that cannot be stored", ProfileBox::Text6},
        {"Fahrenheit beyond 16 bits", [](ProfileRecord& r) { r.X2.PointTemperature = "99999"; }, F, "Profile Error",
         "X2 Temperature Setpoint holds a value that cannot be stored", ProfileBox::Text3},
        {"Fahrenheit whose Celsius overflows", [](ProfileRecord& r) { r.X1.PointTemperature = "32767"; }, F,
         "Profile Error", "X1 Temperature Setpoint holds a value that cannot be stored", ProfileBox::Text1},
        {"an L.H. list without entry", [](ProfileRecord& r) { r.X2.LHMode = 4; }, C, "Profile Error",
         "X2 Lower Heater State holds no entry of its list", ProfileBox::Combo3},
        {"a U.H. list without entry", [](ProfileRecord& r) { r.X3.UHMode = -1; }, C, "Profile Error",
         "X3 Upper Heater State holds no entry of its list", ProfileBox::Combo6},
    };
    for (const Case& c : cases) {
        ProfileRecord r = exampleRecord();
        c.change(r);
        const EncodedProfile e = encodeProfile(r, c.unit);
        ASSERT_TRUE(e.refusal) << c.what;
        EXPECT_EQ(e.refusal->title, c.title) << c.what;
        EXPECT_EQ(e.refusal->text, c.text) << c.what;
        EXPECT_EQ(e.refusal->box, c.box) << c.what;
        EXPECT_TRUE(e.bytes.isEmpty()) << c.what;
    }
}

// --- the reader ---

TEST(ProfileReader, ReadsTheExampleInEitherDisplay) {
    const DecodedProfile c = decodeProfile(joined(exampleLines()), C);
    ASSERT_TRUE(c.record) << c.failure.toStdString();
    EXPECT_EQ(*c.record, exampleRecord());

    const DecodedProfile f = decodeProfile(joined(exampleLines()), F);
    ASSERT_TRUE(f.record);
    ProfileRecord expected = exampleRecord();
    expected.X1.PointTemperature = "302";
    expected.X2.PointTemperature = "361";
    expected.X3.PointTemperature = "437";
    EXPECT_EQ(*f.record, expected);
}

TEST(ProfileReader, FailsWithTheTextOfTheFirstCheck) {
    struct Case {
        const char* what;
        QStringList lines;
        DisplayUnit unit;
        const char* failure;
    } cases[] = {
        {"small-letter header", withLine(1, "[zentprofile]"), C, "File is not a standard ZENT Profile"},
        {"blank after the header", withLine(1, "[ZENTProfile] "), C, "File is not a standard ZENT Profile"},
        {"no file at all", {}, C, "File is not a standard ZENT Profile"},
        {"small-letter key", withLine(2, "profilename=A"), C, "File Corrupted 001"},
        {"comma in the name", withLine(2, "ProfileName=A,B"), C, "File Corrupted 002"},
        {"X1 = 25", withLine(3, "X1PointTemperature=25"), C, "File Corrupted 020"},
        {"X1 = 200, X2 = 180", withLine(4, "X2PointTemperature=180").replaceInStrings("=150", "=200"), C,
         "File Corrupted 021"},
        {"X2 = X3", withLine(5, "X3PointTemperature=183"), C, "File Corrupted 022"},
        {"X3 = 301", withLine(5, "X3PointTemperature=301"), C, "File Corrupted 029"},
        {"X3 = 301 in Fahrenheit: 574", withLine(5, "X3PointTemperature=301"), F, "File Corrupted 029"},
        {"X1 = 29 in Fahrenheit: 84", withLine(3, "X1PointTemperature=29"), F, "File Corrupted 020"},
        {"X2 key missing", withLine(4, "X2Temperature=183"), C, "File Corrupted 003"},
        {"X1LHMode=9", withLine(6, "X1LHMode=9"), C, "File Corrupted 006"},
        {"X2LHMode=2", withLine(7, "X2LHMode=2"), C, "File Corrupted 008"},
        {"X3LHMode missing", withLine(8, "X3HLMode=10"), C, "File Corrupted 009"},
        {"X3LHMode=abc", withLine(8, "X3LHMode=abc"), C, "File Corrupted 010"},
        {"X1UHMode=8", withLine(9, "X1UHMode=8"), C, "File Corrupted 012"},
        {"X2UHMode=0", withLine(10, "X2UHMode=0"), C, "File Corrupted 014"},
        {"X3UHMode beyond 16 bits", withLine(11, "X3UHMode=65539"), C, "File Corrupted 016"},
        {"X2UHMode key missing", withLine(10, "X2UHMODE=2"), C, "File Corrupted 013"},
        {"X1 message key missing", withLine(12, "X1Message=PREHEAT"), C, "File Corrupted 017"},
        {"a comma in the X1 message", withLine(12, "X1PointMessage=PRE,HEAT"), C, "File Corrupted 018"},
        {"a comma in the X2 message", withLine(13, "X2PointMessage=SO,AK"), C, "File Corrupted 019"},
        // A temperature that is not a whole number counts as 0, in either display.
        {"X1 not a number", withLine(3, "X1PointTemperature=abc"), C, "File Corrupted 020"},
        {"X1 not a number, F", withLine(3, "X1PointTemperature=abc"), F, "File Corrupted 020"},
        {"X2 with a decimal point", withLine(4, "X2PointTemperature=183.5"), C, "File Corrupted 021"},
        {"X2 with an exponent, F", withLine(4, "X2PointTemperature=1e2"), F, "File Corrupted 021"},
        {"X3 empty", withLine(5, "X3PointTemperature="), C, "File Corrupted 022"},
        {"X3 beyond 16 bits is not a number, not too high", withLine(5, "X3PointTemperature=99999"), C,
         "File Corrupted 022"},
        {"X2 whose Fahrenheit leaves 16 bits", withLine(4, "X2PointTemperature=20000"), F, "File Corrupted 021"},
        {"X1 whose Fahrenheit leaves 16 bits", withLine(3, "X1PointTemperature=18300"), F, "File Corrupted 020"},
    };
    for (const Case& c : cases) {
        const DecodedProfile d = decodeProfile(joined(c.lines), c.unit);
        EXPECT_FALSE(d.record) << c.what;
        EXPECT_EQ(d.failure, c.failure) << c.what;
    }
}

TEST(ProfileReader, AFileEndingEarlyFailsWithTheKeyItLookedFor) {
    const char* expected[] = {"File Corrupted 001", "File Corrupted 002", "File Corrupted 003", "File Corrupted 004",
                              "File Corrupted 005", "File Corrupted 007", "File Corrupted 009", "File Corrupted 011",
                              "File Corrupted 013", "File Corrupted 015", "File Corrupted 017", "File Corrupted 018",
                              "File Corrupted 019"};
    for (int kept = 1; kept <= 13; ++kept) {
        const QStringList lines = exampleLines().mid(0, kept);
        EXPECT_EQ(decodeProfile(joined(lines), C).failure, expected[kept - 1]) << kept << " lines";
        // Without the last line end, or with blank lines after it, the same.
        QByteArray cut = joined(lines);
        cut.chop(2);
        EXPECT_EQ(decodeProfile(cut, C).failure, expected[kept - 1]) << kept << " lines, no final line end";
        EXPECT_EQ(decodeProfile(joined(lines) + "\r\n  \r\n", C).failure, expected[kept - 1]) << kept;
    }
}

TEST(ProfileReader, FlagsLine) {
    struct Case {
        QByteArray tail;  // what follows line 14
        bool fan1, fan2, fan3;
        int park1, park2, park3;
    } cases[] = {
        {"", false, false, false, 1, 0, 0},                 // 14 lines: fans off, X1 park
        {"\r\n \r\n", false, false, false, 1, 0, 0},        // only blank lines after it
        {"0-0-1-1-0-0", false, false, true, 1, 0, 0},       // no line end after it
        {"1-1-1-1-1-1\r\n", true, true, true, 1, 1, 1},
        {"0-0-0-0-0-0\r\n", false, false, false, 0, 0, 0},
        {"2-1-x-1-0-9\r\n", false, true, false, 1, 0, 0},  // a digit other than 1 counts as 0
        {"1-1\r\n", true, true, false, 0, 0, 0},           // missing positions count as 0
        {"111111111111\r\n", true, true, true, 1, 1, 1},   // the positions, not the hyphens, count
        {"\"1,1-1-1-1-1\"\r\n", true, true, true, 1, 1, 1},
    };
    for (const Case& c : cases) {
        const DecodedProfile d = decodeProfile(joined(exampleLines().mid(0, 14)) + c.tail, C);
        ASSERT_TRUE(d.record) << c.tail.toStdString() << d.failure.toStdString();
        const ProfileRecord& r = *d.record;
        EXPECT_EQ((std::array{r.X1.Fan, r.X2.Fan, r.X3.Fan}), (std::array{c.fan1, c.fan2, c.fan3})) << c.tail.toStdString();
        EXPECT_EQ((std::array{r.X1.ParkMode, r.X2.ParkMode, r.X3.ParkMode}), (std::array{c.park1, c.park2, c.park3}))
            << c.tail.toStdString();
    }
}

TEST(ProfileReader, ValuesAsTheFileHoldsThem) {
    QStringList lines = exampleLines();
    lines[0] = "  [ZENTProfile]";
    lines[1] = "ProfileName=BGA  ";                  // trailing blanks kept
    lines[2] = "X1PointTemperature= 0150 ";          // blanks around a number ignored, shown plainly
    lines[5] = "X1LHMode= 15 ";
    lines[8] = "X1UHMode=03";
    lines[11] = "\"X1PointMessage=PRE,HEAT\"";        // quoted: the comma survives
    lines[12] = "X2PointMessage=SOAK                ";
    lines[13] = QString::fromLatin1("X3PointMessage= R\xc9" "FLOW");
    const QByteArray data = joined(lines, "\n");      // lone line feeds end lines too
    const DecodedProfile d = decodeProfile(data, C);
    ASSERT_TRUE(d.record) << d.failure.toStdString();
    EXPECT_EQ(d.record->ProfileName, "BGA  ");
    EXPECT_EQ(d.record->X1.PointTemperature, "150");
    EXPECT_EQ(d.record->X1.LHMode, 3);
    EXPECT_EQ(d.record->X1.UHMode, 2);
    EXPECT_EQ(d.record->X1.PointMessage, "PRE,HEAT");
    EXPECT_EQ(d.record->X2.PointMessage, "SOAK                ");
    EXPECT_EQ(d.record->X3.PointMessage, QString::fromLatin1(" R\xc9" "FLOW"));
}

TEST(ProfileReader, BoundsInEachDisplay) {
    struct Case {
        const char *x1, *x3;
        DisplayUnit unit;
        const char* shownX1;
        const char* failure;
    } cases[] = {
        {"30", "300", C, "30", ""},
        {"30", "300", F, "86", ""},     // 86 and 572: the Fahrenheit bounds themselves
        {"29", "225", C, "", "File Corrupted 020"},
        {"-40", "225", F, "", "File Corrupted 020"},
    };
    for (const Case& c : cases) {
        const DecodedProfile d = decodeProfile(
            joined(withLine(5, QString("X3PointTemperature=") + c.x3).replaceInStrings("=150", QString("=") + c.x1)),
            c.unit);
        EXPECT_EQ(d.failure, c.failure) << c.x1;
        if (!*c.failure) {
            ASSERT_TRUE(d.record);
            EXPECT_EQ(d.record->X1.PointTemperature, c.shownX1);
        }
    }
}

// Property: every valid record written and read back is the same record.
#include "profiles/profile_checks.h"
#include "profiles/profile_file.h"
#include "settings/units.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <random>

using namespace profiles;

namespace {

const QString kNameCharacters = " -0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
const QString kMessageCharacters = kNameCharacters + "&.";

struct Generated {
    ProfileRecord record;
    SetPoints celsius;
};

class RecordGenerator {
public:
    explicit RecordGenerator(unsigned seed) : rng_(seed) {}

    Generated next(DisplayUnit unit) {
        Generated g;
        ProfileRecord& r = g.record;
        r.ProfileName = text(kNameCharacters, 1, 12);
        // Three rising Celsius set points within 30..300; boxes in the display unit.
        const int c1 = pick(30, 298), c2 = pick(c1 + 1, 299), c3 = pick(c2 + 1, 300);
        g.celsius = {std::int16_t(c1), std::int16_t(c2), std::int16_t(c3)};
        const int cs[] = {c1, c2, c3};
        for (int n = 1; n <= 3; ++n) {
            ProfilePoint& p = r.point(n);
            p.PointTemperature = QString::number(unit == DisplayUnit::Celsius ? cs[n - 1] : *settings::ToFahr(cs[n - 1]));
            p.PointMessage = text(kMessageCharacters, 1, 20);
            p.LHMode = pick(0, 3);
            p.UHMode = pick(0, 2);
            p.Fan = pick(0, 1) == 1;
            p.ParkMode = pick(0, 1);
        }
        return g;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    QString text(const QString& alphabet, int minLength, int maxLength) {
        QString s;
        const int length = pick(minLength, maxLength);
        for (int i = 0; i < length; ++i) s += alphabet[pick(0, int(alphabet.size()) - 1)];
        return s;
    }
    std::mt19937 rng_;
};

}  // namespace

TEST(ProfileRoundTrip, GeneratedRecordsReadBackUnchangedInBothDisplays) {
    RecordGenerator gen(20240613);
    for (DisplayUnit unit : {DisplayUnit::Celsius, DisplayUnit::Fahrenheit}) {
        for (int i = 0; i < 3000; ++i) {
            const Generated g = gen.next(unit);
            // What the field checks let through is what the writer takes.
            ASSERT_FALSE(checkName(g.record.ProfileName));
            ASSERT_FALSE(CheckSetPoints(g.record, unit).failure) << g.record.X1.PointTemperature.toStdString();

            const EncodedProfile e = encodeProfile(g.record, unit);
            ASSERT_FALSE(e.refusal) << e.refusal->text.toStdString();
            const DecodedProfile d = decodeProfile(e.bytes, unit);
            ASSERT_TRUE(d.record) << d.failure.toStdString() << "\n" << e.bytes.toStdString();
            EXPECT_EQ(*d.record, g.record) << e.bytes.toStdString();
            EXPECT_EQ(setPointsOf(*d.record, unit), g.celsius);

            // The file holds Celsius: read in the other display, the same set points.
            const DisplayUnit other = unit == DisplayUnit::Celsius ? DisplayUnit::Fahrenheit : DisplayUnit::Celsius;
            const DecodedProfile o = decodeProfile(e.bytes, other);
            ASSERT_TRUE(o.record) << o.failure.toStdString();
            EXPECT_EQ(setPointsOf(*o.record, other), g.celsius);
            if (HasFailure()) return;
        }
    }
}

TEST(ProfileRoundTrip, FahrenheitValuesOutsideToFahrMoveToTheNearestOne) {
    // The units are not exact inverses: 87 F is stored as 31 C and shows as 88 F again.
    ProfileRecord r;
    r.ProfileName = "A";
    r.X1 = {"87", "A", 0, 0, false, 1};
    r.X2 = {"200", "B", 0, 0, false, 0};
    r.X3 = {"302", "C", 0, 0, false, 0};
    const DecodedProfile d = decodeProfile(encodeProfile(r, DisplayUnit::Fahrenheit).bytes, DisplayUnit::Fahrenheit);
    ASSERT_TRUE(d.record);
    EXPECT_EQ(d.record->X1.PointTemperature, "88");
    EXPECT_EQ(d.record->X3.PointTemperature, "302");
}

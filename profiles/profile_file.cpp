#include "profiles/profile_file.h"

#include "profiles/profile_fields.h"
#include "settings/number_text.h"
#include "settings/units.h"

namespace profiles {

namespace {

const QString kDataError = "Data Error";
const QString kProfileError = "Profile Error";

QString pointName(int n) { return "X" + QString::number(n); }

// --- writing ---

// A line carries one byte per character and ends at CR or LF.
bool storable(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF || c == '\r' || c == '\n') return false;
    return true;
}

Verdict unstorable(const QString& label, ProfileBox box) {
    return {kProfileError, label + " holds a character that cannot be stored", box};
}

std::optional<Verdict> emptyBox(const ProfileRecord& r) {
    if (r.ProfileName.isEmpty()) return Verdict{kDataError, "Profile Name must be specified", kNameBox};
    for (int n = 1; n <= 3; ++n)
        if (r.point(n).PointTemperature.isEmpty())
            return Verdict{kDataError, "Enter " + pointName(n) + " Temperature value", temperatureBox(n)};
    for (int n = 1; n <= 3; ++n)
        if (r.point(n).PointMessage.isEmpty())
            return Verdict{kDataError, "Enter " + pointName(n) + " Message", messageBox(n)};
    return std::nullopt;
}

// The stored text of a temperature box: Celsius display as it stands, Fahrenheit display
// ToCelsius of its whole-number value.
std::optional<QString> storedTemperature(const QString& text, DisplayUnit unit) {
    if (unit == DisplayUnit::Celsius) return text;
    const auto f = settings::roundToInt16(settings::leadingNumber(text));
    const auto c = f ? settings::ToCelsius(*f) : std::nullopt;
    if (!c) return std::nullopt;
    return QString::number(*c);
}

struct Refused {
    Verdict verdict;
};

QStringList linesOf(const ProfileRecord& r, DisplayUnit unit) {
    if (!storable(r.ProfileName)) throw Refused{unstorable("Profile Name", kNameBox)};
    QStringList lines{kProfileHeader, "ProfileName=" + r.ProfileName};
    for (int n = 1; n <= 3; ++n) {
        const QString label = pointName(n) + " Temperature Setpoint";
        const QString& text = r.point(n).PointTemperature;
        if (!storable(text)) throw Refused{unstorable(label, temperatureBox(n))};
        const auto stored = storedTemperature(text, unit);
        if (!stored)
            throw Refused{{kProfileError, label + " holds a value that cannot be stored", temperatureBox(n)}};
        lines << pointName(n) + "PointTemperature=" + *stored;
    }
    for (int n = 1; n <= 3; ++n) {
        const auto code = lowerHeaterCode(r.point(n).LHMode);
        if (!code)
            throw Refused{{kProfileError, pointName(n) + " Lower Heater State holds no entry of its list",
                           lowerHeaterBox(n)}};
        lines << pointName(n) + "LHMode=" + QString::number(*code);
    }
    for (int n = 1; n <= 3; ++n) {
        const auto code = upperHeaterCode(r.point(n).UHMode);
        if (!code)
            throw Refused{{kProfileError, pointName(n) + " Upper Heater State holds no entry of its list",
                           upperHeaterBox(n)}};
        lines << pointName(n) + "UHMode=" + QString::number(*code);
    }
    for (int n = 1; n <= 3; ++n) {
        const QString& message = r.point(n).PointMessage;
        if (!storable(message)) throw Refused{unstorable(pointName(n) + " Message", messageBox(n))};
        lines << pointName(n) + "PointMessage=" + message;
    }
    QStringList flags;
    for (int n = 1; n <= 3; ++n) flags << (r.point(n).Fan ? "1" : "0");
    for (int n = 1; n <= 3; ++n) flags << (r.point(n).ParkMode == 0 ? "0" : "1");
    lines << flags.join('-');
    return lines;
}

// --- reading ---

struct Corrupted {
    QString text;
};

Corrupted corrupted(int code) { return {"File Corrupted " + QString::number(code).rightJustified(3, '0')}; }

// Reads the next field; it must begin with the key, else the key's code.
QString keyedValue(FieldReader& reader, const QString& key, int missingCode) {
    const std::optional<QString> field = reader.next();
    if (!field || !field->startsWith(key)) throw corrupted(missingCode);
    return field->mid(key.size());
}

struct Placed {
    QString text;  // what the box shows
    int number;    // the value the checks compare, 0 for a value that is not a number
};

// A stored Celsius value as its box shows it in the display unit.
Placed placeTemperature(const QString& value, DisplayUnit unit) {
    std::optional<std::int16_t> n = wholeNumber(value);
    if (n && unit == DisplayUnit::Fahrenheit) n = settings::ToFahr(*n);
    if (!n) return {"0", 0};
    return {QString::number(*n), *n};
}

int heaterPosition(const QString& value, std::optional<int> (*positionOf)(int), int badCode) {
    const std::optional<std::int16_t> code = wholeNumber(value);
    const std::optional<int> position = code ? positionOf(*code) : std::nullopt;
    if (!position) throw corrupted(badCode);
    return *position;
}

ProfileRecord readRecord(FieldReader& reader, DisplayUnit unit) {
    const std::optional<QString> header = reader.next();
    if (!header || *header != kProfileHeader) throw Corrupted{"File is not a standard ZENT Profile"};

    ProfileRecord r;
    r.ProfileName = keyedValue(reader, "ProfileName=", 1);

    const int low = unit == DisplayUnit::Celsius ? 30 : 86;
    const int high = unit == DisplayUnit::Celsius ? 300 : 572;
    const Placed x1 = placeTemperature(keyedValue(reader, "X1PointTemperature=", 2), unit);
    r.X1.PointTemperature = x1.text;
    if (x1.number < low) throw corrupted(20);
    const Placed x2 = placeTemperature(keyedValue(reader, "X2PointTemperature=", 3), unit);
    r.X2.PointTemperature = x2.text;
    if (x1.number >= x2.number) throw corrupted(21);
    const Placed x3 = placeTemperature(keyedValue(reader, "X3PointTemperature=", 4), unit);
    r.X3.PointTemperature = x3.text;
    if (x2.number >= x3.number) throw corrupted(22);
    if (x3.number > high) throw corrupted(29);

    // Missing key, then bad value, for each point: 005/006, 007/008, 009/010; U.H. from 011.
    for (int n = 1; n <= 3; ++n) {
        const int code = 5 + 2 * (n - 1);
        r.point(n).LHMode = heaterPosition(keyedValue(reader, pointName(n) + "LHMode=", code), lowerHeaterPosition,
                                           code + 1);
    }
    for (int n = 1; n <= 3; ++n) {
        const int code = 11 + 2 * (n - 1);
        r.point(n).UHMode = heaterPosition(keyedValue(reader, pointName(n) + "UHMode=", code), upperHeaterPosition,
                                           code + 1);
    }
    for (int n = 1; n <= 3; ++n)
        r.point(n).PointMessage = keyedValue(reader, pointName(n) + "PointMessage=", 16 + n);

    // Without a flags line: fans off, X1 in park mode, X2 and X3 normal (as New leaves them).
    if (const std::optional<QString> flags = reader.next()) {
        auto flag = [&](int position) { return position <= flags->size() && flags->at(position - 1) == '1'; };
        for (int n = 1; n <= 3; ++n) {
            r.point(n).Fan = flag(2 * n - 1);
            r.point(n).ParkMode = flag(2 * n + 5) ? 1 : 0;
        }
    }
    return r;
}

}  // namespace

EncodedProfile encodeProfile(const ProfileRecord& record, DisplayUnit unit) {
    if (auto empty = emptyBox(record)) return {{}, empty};
    try {
        QByteArray bytes;
        for (const QString& line : linesOf(record, unit)) bytes += line.toLatin1() + "\r\n";
        return {bytes, std::nullopt};
    } catch (const Refused& refused) {
        return {{}, refused.verdict};
    }
}

DecodedProfile decodeProfile(const QByteArray& bytes, DisplayUnit unit) {
    FieldReader reader(bytes);
    try {
        return {readRecord(reader, unit), {}};
    } catch (const Corrupted& c) {
        return {std::nullopt, c.text};
    }
}

}  // namespace profiles

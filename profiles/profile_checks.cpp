#include "profiles/profile_checks.h"

#include "settings/number_text.h"
#include "settings/units.h"

namespace profiles {

namespace {

const QString kDataError = "Data Error";

Verdict dataError(const QString& text, ProfileBox box) { return {kDataError, text, box}; }

QString pointName(int n) { return "X" + QString::number(n); }

// The numeric value of a box, read as the operator's number: blanks ignored, the number
// the text begins with, 0 for a text without one.
double boxValue(const QString& text) { return settings::leadingNumber(text); }

struct Bounds {
    int low, high;
    const char* lowWord;  // "more" or "More": the two units spell it differently
    const char* suffix;
};
constexpr Bounds kCelsiusBounds{30, 300, "more", " C"};
constexpr Bounds kFahrenheitBounds{86, 572, "More", " F"};
const Bounds& boundsOf(DisplayUnit unit) { return unit == DisplayUnit::Celsius ? kCelsiusBounds : kFahrenheitBounds; }

Verdict tooLow(const Bounds& b) {
    return dataError("X1 Temperature Must be " + QString(b.lowWord) + " than " + QString::number(b.low) + b.suffix,
                     ProfileBox::Text1);
}

Verdict tooHigh(int n, const Bounds& b) {
    return dataError(pointName(n) + " Temperature Must be Less than " + QString::number(b.high) + b.suffix,
                     temperatureBox(n));
}

std::optional<std::int16_t> celsiusOf(double value, DisplayUnit unit) {
    const std::optional<std::int16_t> whole = settings::roundToInt16(value);
    if (!whole || unit == DisplayUnit::Celsius) return whole;
    return settings::ToCelsius(*whole);
}

}  // namespace

std::optional<Verdict> checkTemperatureCharacters(int n, const QString& text) {
    for (QChar c : text)
        if (c.unicode() < '0' || c.unicode() > '9')
            return dataError("Invalid character in " + pointName(n) + " Value", temperatureBox(n));
    return std::nullopt;
}

std::optional<Verdict> checkX1LowerBound(const QString& text, DisplayUnit unit) {
    const Bounds& b = boundsOf(unit);
    if (boxValue(text) < b.low) return tooLow(b);
    return std::nullopt;
}

SetPointCheck CheckSetPoints(const ProfileRecord& record, DisplayUnit unit) {
    for (int n = 1; n <= 3; ++n)
        if (record.point(n).PointTemperature.isEmpty()) return {};
    const double x1 = boxValue(record.X1.PointTemperature);
    const double x2 = boxValue(record.X2.PointTemperature);
    const double x3 = boxValue(record.X3.PointTemperature);
    const Bounds& b = boundsOf(unit);
    if (x1 < b.low) return {tooLow(b), {}};
    if (x1 > b.high) return {tooHigh(1, b), {}};
    if (x2 > b.high) return {tooHigh(2, b), {}};
    if (x3 > b.high) return {tooHigh(3, b), {}};
    if (x1 >= x2) return {dataError("X2 Temperature Must be > X1 Value", ProfileBox::Text3), {}};
    if (x2 >= x3) return {dataError("X3 Temperature Must be > X2 Value", ProfileBox::Text5), {}};
    return {std::nullopt, setPointsOf(record, unit)};
}

std::optional<Verdict> checkOwnTemperature(int n, const QString& text, DisplayUnit unit) {
    if (text.isEmpty()) return std::nullopt;
    if (auto failure = checkTemperatureCharacters(n, text)) return failure;
    if (n == 1)
        if (auto failure = checkX1LowerBound(text, unit)) return failure;
    const Bounds& b = boundsOf(unit);
    if (boxValue(text) > b.high) return tooHigh(n, b);
    return std::nullopt;
}

SetPointCheck checkTemperatureBox(int n, const ProfileRecord& record, DisplayUnit unit) {
    const QString& text = record.point(n).PointTemperature;
    if (text.isEmpty()) return {};
    if (auto failure = checkOwnTemperature(n, text, unit)) return {failure, {}};
    return CheckSetPoints(record, unit);
}

std::optional<Verdict> checkMessage(int n, const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    const QString name = pointName(n) + " Message";
    if (text.size() > 20) return dataError(name + " must be < 21 characters", messageBox(n));
    for (QChar ch : text) {
        const unsigned c = ch.unicode();
        if (c >= 58 && c <= 64) return dataError("(" + name + ")invalid character", messageBox(n));
        const bool accepted = c == 32 || c == 38 || c == 45 || c == 46 || (c >= 48 && c <= 57) ||
                              (c >= 65 && c <= 90) || (c >= 97 && c <= 122);
        if (!accepted) return dataError("(" + name + ") invalid character", messageBox(n));
    }
    return std::nullopt;
}

std::optional<Verdict> checkName(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    if (text.size() > 12) return dataError("Profile Name must be < 13 characters", kNameBox);
    for (QChar ch : text) {
        const unsigned c = ch.unicode();
        const bool accepted = c == 32 || c == 45 || (c >= 48 && c <= 57) || (c >= 65 && c <= 90) ||
                              (c >= 97 && c <= 122);
        if (!accepted) return dataError("(Profile Name) invalid character", kNameBox);
    }
    return std::nullopt;
}

std::optional<SetPoints> setPointsOf(const ProfileRecord& record, DisplayUnit unit) {
    const auto x1 = celsiusOf(boxValue(record.X1.PointTemperature), unit);
    const auto x2 = celsiusOf(boxValue(record.X2.PointTemperature), unit);
    const auto x3 = celsiusOf(boxValue(record.X3.PointTemperature), unit);
    if (!x1 || !x2 || !x3) return std::nullopt;
    return SetPoints{*x1, *x2, *x3};
}

void storeSetPoints(core::SharedState& state, const SetPoints& points) {
    state.X1SetPointC = points.X1SetPointC;
    state.X2SetPointC = points.X2SetPointC;
    state.X3SetPointC = points.X3SetPointC;
}

}  // namespace profiles

#include "link/station_profile.h"

#include "core/named_values.h"
#include "core/temperature_bytes.h"
#include "settings/units.h"

namespace stationlink {

namespace {

constexpr std::uint8_t kLowerCodes[] = {core::LhCodeOff, core::LhCodePreheat, core::LhCodeReflow,
                                        core::LhCodeFastReflow};

QString withoutLeadingBlanks(const QByteArray& bytes) {
    QString s = QString::fromLatin1(bytes);
    int i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.mid(i);
}

std::optional<std::int16_t> celsiusOf(const QString& shown, bool fahrenheit) {
    bool ok = false;
    const int v = shown.trimmed().toInt(&ok, 10);
    if (!ok || v < -32768 || v > 32767) return std::nullopt;
    if (!fahrenheit) return std::int16_t(v);
    return settings::ToCelsius(std::int16_t(v));
}

}  // namespace

QString padRight(const QString& text, int width) {
    return text.size() >= width ? text : text + QString(width - text.size(), ' ');
}

std::optional<int> lowerPositionFromRead(int v) {
    if (v < 200) return 0;
    if (v > 200 && v < 500) return 1;
    if (v >= 500 && v < 600) return 2;
    if (v > 600) return 3;
    return std::nullopt;  // exactly 200 or 600
}

std::optional<int> upperPositionFromRead(int code) {
    if (code >= 1 && code <= 3) return code - 1;
    return std::nullopt;
}

RetrievedProfile screenFromTransfer(const core::ProfileTransfer& t, bool fahrenheit) {
    RetrievedProfile r;
    r.name = withoutLeadingBlanks(t.Name);
    const int celsius[] = {core::joinTemperature(t.X1High, t.X1Low), core::joinTemperature(t.X2High, t.X2Low),
                           core::joinTemperature(t.X3High, t.X3Low)};
    for (int p = 0; p < 3; ++p) {
        int shown = celsius[p];
        if (fahrenheit) shown = settings::ToFahr(std::int16_t(celsius[p])).value_or(std::int16_t(celsius[p]));
        r.temperatures[std::size_t(p)] = QString::number(shown);
    }
    // The station keeps a three-digit X3 of 240 in a way that reads back as 24.
    if (!fahrenheit && celsius[2] == 24) r.temperatures[2] = "240";
    if (fahrenheit) {
        const int x3 = r.temperatures[2].toInt();
        if (x3 > 73 && x3 < 77) r.temperatures[2] = "464";
    }
    r.messages = {withoutLeadingBlanks(t.X1Message), withoutLeadingBlanks(t.X2Message),
                  withoutLeadingBlanks(t.X3Message)};
    const int upper[] = {t.X1UpperRead, t.X2UpperRead, t.X3UpperRead};
    const int lower[] = {t.X1LowerRead, t.X2LowerRead, t.X3LowerRead};
    for (int p = 0; p < 3; ++p) {
        r.upperPositions[std::size_t(p)] = upperPositionFromRead(upper[p]);
        r.lowerPositions[std::size_t(p)] = lowerPositionFromRead(lower[p]);
    }
    return r;
}

std::optional<core::ProfileTransfer> transferFromScreen(const ScreenProfile& p, bool fahrenheit) {
    core::ProfileTransfer t;
    t.Name = padRight(p.name, 12).toLatin1();
    std::uint8_t* highs[] = {&t.X1High, &t.X2High, &t.X3High};
    std::uint8_t* lows[] = {&t.X1Low, &t.X2Low, &t.X3Low};
    for (int i = 0; i < 3; ++i) {
        const auto c = celsiusOf(p.temperatures[std::size_t(i)], fahrenheit);
        if (!c || *c < 0 || *c > 0xFFFF) return std::nullopt;
        const core::TemperatureBytes b = core::splitTemperature(*c);
        *highs[i] = std::uint8_t(b.high);
        *lows[i] = std::uint8_t(b.low);
    }
    t.X1Message = padRight(p.messages[0], 20).toLatin1();
    t.X2Message = padRight(p.messages[1], 20).toLatin1();
    t.X3Message = padRight(p.messages[2], 20).toLatin1();
    std::uint8_t* lowerCodes[] = {&t.X1LowerCode, &t.X2LowerCode, &t.X3LowerCode};
    std::uint8_t* upperCodes[] = {&t.X1UpperCode, &t.X2UpperCode, &t.X3UpperCode};
    for (int i = 0; i < 3; ++i) {
        const int lp = p.lowerPositions[std::size_t(i)], up = p.upperPositions[std::size_t(i)];
        if (lp < 0 || lp > 3 || up < 0 || up > 2) return std::nullopt;
        *lowerCodes[i] = kLowerCodes[lp];
        *upperCodes[i] = std::uint8_t(up + 1);
    }
    return t;
}

bool sameStationProfile(const core::ProfileTransfer& s, const core::ProfileTransfer& r) {
    return s.Name == r.Name && s.X1High == r.X1High && s.X1Low == r.X1Low && s.X2High == r.X2High &&
           s.X2Low == r.X2Low && s.X3High == r.X3High && s.X3Low == r.X3Low && s.X1Message == r.X1Message &&
           s.X2Message == r.X2Message && s.X3Message == r.X3Message && s.X1UpperCode == r.X1UpperRead &&
           s.X2UpperCode == r.X2UpperRead && s.X3UpperCode == r.X3UpperRead &&
           s.X1LowerCode * 50 == r.X1LowerRead && s.X2LowerCode * 50 == r.X2LowerRead &&
           s.X3LowerCode * 50 == r.X3LowerRead;
}

bool sameOnScreen(const core::ProfileTransfer& sent, const core::ProfileTransfer& readBack, bool fahrenheit) {
    // What was sent, as a read would give it back: the heater codes in their read form.
    core::ProfileTransfer asRead = sent;
    asRead.X1UpperRead = sent.X1UpperCode;
    asRead.X2UpperRead = sent.X2UpperCode;
    asRead.X3UpperRead = sent.X3UpperCode;
    asRead.X1LowerRead = sent.X1LowerCode * 50;
    asRead.X2LowerRead = sent.X2LowerCode * 50;
    asRead.X3LowerRead = sent.X3LowerCode * 50;
    const RetrievedProfile a = screenFromTransfer(asRead, fahrenheit);
    const RetrievedProfile b = screenFromTransfer(readBack, fahrenheit);
    return sent.Name == readBack.Name && a.temperatures == b.temperatures &&
           sent.X1Message == readBack.X1Message && sent.X2Message == readBack.X2Message &&
           sent.X3Message == readBack.X3Message && a.upperPositions == b.upperPositions &&
           a.lowerPositions == b.lowerPositions;
}

std::optional<int> pointBelowZero(const ScreenProfile& p, bool fahrenheit) {
    for (int i = 0; i < 3; ++i)
        if (const auto c = celsiusOf(p.temperatures[std::size_t(i)], fahrenheit); c && *c < 0) return i;
    return std::nullopt;
}

}  // namespace stationlink

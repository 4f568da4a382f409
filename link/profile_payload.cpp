#include "link/profile_payload.h"

#include "core/temperature_bytes.h"

#include <algorithm>

namespace stationlink {

namespace {

struct TemperatureFields {
    std::uint8_t core::ProfileTransfer::*high;
    std::uint8_t core::ProfileTransfer::*low;
};
constexpr TemperatureFields kTemperatures[3] = {
    {&core::ProfileTransfer::X1High, &core::ProfileTransfer::X1Low},
    {&core::ProfileTransfer::X2High, &core::ProfileTransfer::X2Low},
    {&core::ProfileTransfer::X3High, &core::ProfileTransfer::X3Low},
};
constexpr QByteArray core::ProfileTransfer::*kMessages[3] = {
    &core::ProfileTransfer::X1Message, &core::ProfileTransfer::X2Message, &core::ProfileTransfer::X3Message};
constexpr std::uint8_t core::ProfileTransfer::*kLowerCodes[3] = {
    &core::ProfileTransfer::X1LowerCode, &core::ProfileTransfer::X2LowerCode, &core::ProfileTransfer::X3LowerCode};
constexpr std::uint8_t core::ProfileTransfer::*kUpperCodes[3] = {
    &core::ProfileTransfer::X1UpperCode, &core::ProfileTransfer::X2UpperCode, &core::ProfileTransfer::X3UpperCode};
constexpr std::int16_t core::ProfileTransfer::*kLowerReads[3] = {
    &core::ProfileTransfer::X1LowerRead, &core::ProfileTransfer::X2LowerRead, &core::ProfileTransfer::X3LowerRead};
constexpr std::int16_t core::ProfileTransfer::*kUpperReads[3] = {
    &core::ProfileTransfer::X1UpperRead, &core::ProfileTransfer::X2UpperRead, &core::ProfileTransfer::X3UpperRead};

// Text bytes into a fixed-width field, padded with spaces.
void putText(ProfilePayload& out, int offset, int width, const QByteArray& text) {
    for (int i = 0; i < width; ++i)
        out[std::size_t(offset + i)] = i < text.size() ? std::uint8_t(text[i]) : std::uint8_t(' ');
}

QByteArray takeText(const ProfilePayload& in, int offset, int width) {
    return QByteArray(reinterpret_cast<const char*>(in.data()) + offset, width);
}

bool validPoint(int point) { return point >= 1 && point <= 3; }

}  // namespace

std::optional<std::uint8_t> profileWriteOpcode(int slot) {
    if (slot < 1 || slot > 3) return std::nullopt;
    return std::uint8_t(0xA4 + slot);
}

std::optional<std::uint8_t> profileReadOpcode(int slot) {
    if (slot < 1 || slot > 3) return std::nullopt;
    return std::uint8_t(0xE4 + slot);
}

int profileTemperature(const core::ProfileTransfer& t, int point) {
    if (!validPoint(point)) return 0;
    const TemperatureFields& f = kTemperatures[point - 1];
    return core::joinTemperature(t.*f.high, t.*f.low);
}

bool setProfileTemperature(core::ProfileTransfer& t, int point, int celsius) {
    if (!validPoint(point) || celsius < 0 || celsius > 0xFFFF) return false;
    const core::TemperatureBytes bytes = core::splitTemperature(celsius);
    const TemperatureFields& f = kTemperatures[point - 1];
    t.*f.high = std::uint8_t(bytes.high);
    t.*f.low = std::uint8_t(bytes.low);
    return true;
}

ProfilePayload encodeProfilePayload(const core::ProfileTransfer& t) {
    ProfilePayload out{};
    putText(out, 0, kProfileNameLength, t.Name);
    for (int p = 0; p < 3; ++p) {
        out[std::size_t(kPayloadTemperatures + 2 * p)] = t.*kTemperatures[p].high;
        out[std::size_t(kPayloadTemperatures + 2 * p + 1)] = t.*kTemperatures[p].low;
        putText(out, kPayloadMessages + kProfileMessageLength * p, kProfileMessageLength, t.*kMessages[p]);
        out[std::size_t(kPayloadModes + p)] = profileModeByte(t.*kLowerCodes[p], t.*kUpperCodes[p]);
    }
    return out;
}

void decodeNameAndReadBack(const ProfilePayload& payload, core::ProfileTransfer& t) {
    t.Name = takeText(payload, 0, kProfileNameLength);
    for (int p = 0; p < 3; ++p) {
        const std::uint8_t mode = payload[std::size_t(kPayloadModes + p)];
        t.*kUpperReads[p] = upperCodeRead(mode);
        t.*kLowerReads[p] = lowerCodeRead(mode);
    }
}

void decodeTemperaturesAndMessages(const ProfilePayload& payload, core::ProfileTransfer& t) {
    for (int p = 0; p < 3; ++p) {
        // Stored as received: value div 256 and the rest give the two bytes back.
        t.*kTemperatures[p].high = payload[std::size_t(kPayloadTemperatures + 2 * p)];
        t.*kTemperatures[p].low = payload[std::size_t(kPayloadTemperatures + 2 * p + 1)];
        t.*kMessages[p] = takeText(payload, kPayloadMessages + kProfileMessageLength * p, kProfileMessageLength);
    }
}

ProfilePayload profilePayloadOfReply(const ReplyBuffer& reply) {
    ProfilePayload out{};
    std::copy_n(reply.begin() + 5, kProfilePayloadSize, out.begin());
    return out;
}

QString profileWriteErrorText(const ProfilePayload& payload, int index) {
    auto line = [](int number, std::uint8_t character) {
        return "Write Error " + QString::number(number) + QString::number(character);
    };
    if (index < 0 || index >= kProfilePayloadSize) return "Write Error";
    if (index < kPayloadTemperatures) return line(1105, payload[std::size_t(index)]);
    if (index < kPayloadMessages) return line(1106 + (index - kPayloadTemperatures), payload[kProfileNameLength - 1]);
    if (index < kPayloadModes) {
        const int message = (index - kPayloadMessages) / kProfileMessageLength;
        return line(1112 + message, payload[std::size_t(index)]);
    }
    return line(1115 + (index - kPayloadModes), payload[kPayloadModes - 1]);
}

}  // namespace stationlink

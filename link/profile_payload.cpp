#include "link/profile_payload.h"

namespace stationlink {

namespace {
void putText(ProfilePayload& out, int at, const QByteArray& text, int width) {
    for (int i = 0; i < width; ++i) out[std::size_t(at + i)] = i < text.size() ? std::uint8_t(text[i]) : ' ';
}
}  // namespace

ProfilePayload encodeProfilePayload(const core::ProfileTransfer& p) {
    ProfilePayload out{};
    putText(out, 0, p.Name, 12);
    const std::uint8_t temps[] = {p.X1High, p.X1Low, p.X2High, p.X2Low, p.X3High, p.X3Low};
    for (int i = 0; i < 6; ++i) out[std::size_t(12 + i)] = temps[i];
    putText(out, 18, p.X1Message, 20);
    putText(out, 38, p.X2Message, 20);
    putText(out, 58, p.X3Message, 20);
    out[78] = std::uint8_t(p.X1LowerCode * 16 + p.X1UpperCode);
    out[79] = std::uint8_t(p.X2LowerCode * 16 + p.X2UpperCode);
    out[80] = std::uint8_t(p.X3LowerCode * 16 + p.X3UpperCode);
    return out;
}

PayloadField payloadField(int index) {
    if (index < 12) return PayloadField::Name;
    if (index < 18) return PayloadField::Temperature;
    if (index < 78) return PayloadField::Message;
    return PayloadField::Mode;
}

}  // namespace stationlink

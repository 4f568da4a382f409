// libFuzzer target: whatever a .znt file holds, reading it must not crash, hang or read
// past its bytes; a profile that reads is within its limits, and written again it reads
// back the same.
#include "profiles/profile_checks.h"
#include "profiles/profile_file.h"

#include <cstddef>
#include <cstdint>

using namespace profiles;

namespace {

bool textsPassTheFieldChecks(const ProfileRecord& r) {
    if (checkName(r.ProfileName)) return false;
    for (int n = 1; n <= 3; ++n)
        if (checkMessage(n, r.point(n).PointMessage)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (DisplayUnit unit : {DisplayUnit::Celsius, DisplayUnit::Fahrenheit}) {
        const DecodedProfile d = decodeProfile(bytes, unit);
        if (!d.record) {
            if (!d.failure.startsWith("File ")) __builtin_trap();
            continue;
        }
        const std::optional<SetPoints> p = setPointsOf(*d.record, unit);
        if (!p || p->X1SetPointC < 30 || p->X1SetPointC >= p->X2SetPointC || p->X2SetPointC >= p->X3SetPointC ||
            p->X3SetPointC > 300)
            __builtin_trap();
        for (int n = 1; n <= 3; ++n) {
            const ProfilePoint& point = d.record->point(n);
            if (!lowerHeaterCode(point.LHMode) || !upperHeaterCode(point.UHMode) || point.ParkMode < 0 ||
                point.ParkMode > 1)
                __builtin_trap();
        }
        if (!textsPassTheFieldChecks(*d.record)) continue;
        const EncodedProfile e = encodeProfile(*d.record, unit);
        if (e.refusal) continue;  // an empty name or message: the writer asks for it
        const DecodedProfile again = decodeProfile(e.bytes, unit);
        if (!again.record || !(*again.record == *d.record)) __builtin_trap();
    }
    return 0;
}

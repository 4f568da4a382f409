#include "defaults/default_data.h"

#include "core/named_values.h"

namespace defaults {

DefaultSettingsImage defaultSettingsImage() { return {0, 8, 10, 15, 0, 6, 60, 0, 205, 5, 0, 48, 50, 1, 14}; }

namespace {
core::ProfileTransfer profile(const char* name, int x1, int x2, int x3, const char* m3, std::uint8_t l1,
                              std::uint8_t u1, std::uint8_t l2, std::uint8_t u2, std::uint8_t l3, std::uint8_t u3) {
    core::ProfileTransfer p;
    p.Name = name;
    p.X1High = 0, p.X1Low = std::uint8_t(x1);
    p.X2High = 0, p.X2Low = std::uint8_t(x2);
    p.X3High = 0, p.X3Low = std::uint8_t(x3);
    p.X1Message = " MOVE U.H. NOW ...  ";
    p.X2Message = "   SWITCH PUMP ON   ";
    p.X3Message = m3;
    p.X1LowerCode = l1, p.X1UpperCode = u1;
    p.X2LowerCode = l2, p.X2UpperCode = u2;
    p.X3LowerCode = l3, p.X3UpperCode = u3;
    return p;
}
}  // namespace

std::array<core::ProfileTransfer, 3> defaultProfiles() {
    using namespace core;
    return {profile("  DCTx ICs  ", 80, 140, 180, " PLEASE PARK & PICK ", LhCodeReflow, UhCodeOff, LhCodePreheat,
                    UhCodeReflow, LhCodePreheat, UhCodeFastReflow),
            profile("NORTH BRIDGE", 60, 140, 180, " PICK COMPONENT NOW ", LhCodePreheat, UhCodeOff, LhCodeReflow,
                    UhCodeReflow, LhCodeFastReflow, UhCodeReflow),
            profile("  LEADFREE  ", 100, 220, 240, " PICK COMPONENT NOW ", LhCodePreheat, UhCodeOff, LhCodeReflow,
                    UhCodeFastReflow, LhCodeFastReflow, UhCodeOff)};
}

}  // namespace defaults

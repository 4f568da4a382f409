#include "simulator/factory_data.h"

#include <cstring>
#include <string>

namespace simulator {

std::array<std::uint8_t, 16> factorySettings() {
    return {0, 8, 10, 15, 0, 6, 60, 0, 205, 5, 0, 48, 50, 1, 14, 0};
}

namespace {
struct Point {
    int temperature;
    const char* message;  // 20 characters
    int lowerCode, upperCode;
};
struct Profile {
    const char* name;  // 12 characters
    Point points[3];
};
const Profile kProfiles[3] = {
    {"  DCTx ICs  ",
     {{80, " MOVE U.H. NOW ...  ", 10, 1},
      {140, "   SWITCH PUMP ON   ", 8, 2},
      {180, " PLEASE PARK & PICK ", 8, 3}}},
    {"NORTH BRIDGE",
     {{60, " MOVE U.H. NOW ...  ", 8, 1},
      {140, "   SWITCH PUMP ON   ", 10, 2},
      {180, " PICK COMPONENT NOW ", 15, 2}}},
    {"  LEADFREE  ",
     {{100, " MOVE U.H. NOW ...  ", 8, 1},
      {220, "   SWITCH PUMP ON   ", 10, 3},
      {240, " PICK COMPONENT NOW ", 15, 1}}},
};
}  // namespace

std::array<std::uint8_t, 81> factoryProfile(int slot) {
    std::array<std::uint8_t, 81> out{};
    const Profile& p = kProfiles[(slot >= 1 && slot <= 3) ? slot - 1 : 0];
    std::memcpy(out.data(), p.name, 12);
    for (int i = 0; i < 3; ++i) {
        out[12 + 2 * i] = static_cast<std::uint8_t>(p.points[i].temperature / 256);
        out[13 + 2 * i] = static_cast<std::uint8_t>(p.points[i].temperature % 256);
        std::memcpy(out.data() + 18 + 20 * i, p.points[i].message, 20);
        out[78 + i] = static_cast<std::uint8_t>(p.points[i].lowerCode * 16 + p.points[i].upperCode);
    }
    return out;
}

}  // namespace simulator

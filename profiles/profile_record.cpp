#include "profiles/profile_record.h"

namespace profiles {

namespace {

template <std::size_t N>
std::optional<std::uint8_t> codeAt(const std::array<std::uint8_t, N>& codes, int position) {
    if (position < 0 || position >= int(N)) return std::nullopt;
    return codes[std::size_t(position)];
}

template <std::size_t N>
std::optional<int> positionOf(const std::array<std::uint8_t, N>& codes, int code) {
    for (std::size_t i = 0; i < N; ++i)
        if (codes[i] == code) return int(i);
    return std::nullopt;
}

}  // namespace

std::optional<std::uint8_t> lowerHeaterCode(int position) { return codeAt(kLowerHeaterCodes, position); }
std::optional<std::uint8_t> upperHeaterCode(int position) { return codeAt(kUpperHeaterCodes, position); }
std::optional<int> lowerHeaterPosition(int code) { return positionOf(kLowerHeaterCodes, code); }
std::optional<int> upperHeaterPosition(int code) { return positionOf(kUpperHeaterCodes, code); }

QString objectNameOf(ProfileBox box) {
    switch (box) {
    case ProfileBox::None: return {};
    case ProfileBox::Text1: return "Text1";
    case ProfileBox::Text2: return "Text2";
    case ProfileBox::Text3: return "Text3";
    case ProfileBox::Text4: return "Text4";
    case ProfileBox::Text5: return "Text5";
    case ProfileBox::Text6: return "Text6";
    case ProfileBox::Text7: return "Text7";
    case ProfileBox::Text8: return "Text8";
    case ProfileBox::Combo1: return "Combo1";
    case ProfileBox::Combo2: return "Combo2";
    case ProfileBox::Combo3: return "Combo3";
    case ProfileBox::Combo4: return "Combo4";
    case ProfileBox::Combo5: return "Combo5";
    case ProfileBox::Combo6: return "Combo6";
    }
    return {};
}

ProfileBox temperatureBox(int n) { return n == 1 ? ProfileBox::Text1 : n == 2 ? ProfileBox::Text3 : ProfileBox::Text5; }
ProfileBox messageBox(int n) { return n == 1 ? ProfileBox::Text2 : n == 2 ? ProfileBox::Text4 : ProfileBox::Text6; }
ProfileBox lowerHeaterBox(int n) { return n == 1 ? ProfileBox::Combo1 : n == 2 ? ProfileBox::Combo3 : ProfileBox::Combo5; }
ProfileBox upperHeaterBox(int n) { return n == 1 ? ProfileBox::Combo2 : n == 2 ? ProfileBox::Combo4 : ProfileBox::Combo6; }

}  // namespace profiles

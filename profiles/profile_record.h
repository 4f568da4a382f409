#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace profiles {

// Whole degrees as the operator sees and types them.
enum class DisplayUnit { Celsius, Fahrenheit };
// TempUnit of the settings record: 0 is Celsius, anything else Fahrenheit.
constexpr DisplayUnit displayUnitOf(std::int16_t tempUnit) {
    return tempUnit == 0 ? DisplayUnit::Celsius : DisplayUnit::Fahrenheit;
}

enum class AlloyKind { Leaded, LeadFree };

// One set point as its controls hold it. List fields are positions in their lists.
struct ProfilePoint {
    QString PointTemperature;  // digits as typed, in the display unit
    QString PointMessage;      // for the station's display, at most 20 characters
    int LHMode = 0;            // position in kLowerHeaterEntries
    int UHMode = 0;            // position in kUpperHeaterEntries
    bool Fan = false;
    int ParkMode = 0;          // position in kParkEntries: 0 Normal Mode, 1 Park Mode

    friend bool operator==(const ProfilePoint&, const ProfilePoint&) = default;
};

// The profile the editor holds, with the values of an opened window or of New.
struct ProfileRecord {
    QString ProfileName = "Untitled";
    ProfilePoint X1{{}, {}, 0, 0, false, 1};
    ProfilePoint X2;
    ProfilePoint X3;
    AlloyKind Alloy = AlloyKind::Leaded;

    // n is 1, 2 or 3.
    ProfilePoint& point(int n) { return n == 1 ? X1 : n == 2 ? X2 : X3; }
    const ProfilePoint& point(int n) const { return n == 1 ? X1 : n == 2 ? X2 : X3; }

    friend bool operator==(const ProfileRecord&, const ProfileRecord&) = default;
};

// The lists' entries; a list position selects the code at the same index.
inline const QStringList kLowerHeaterEntries{"OFF", "PERHEAT", "REFLOW", "FAST REFLOW"};
inline const QStringList kUpperHeaterEntries{"OFF", "REFLOW", "FAST REFLOW"};
inline const QStringList kParkEntries{"Normal Mode", "Park Mode"};
constexpr std::array<std::uint8_t, 4> kLowerHeaterCodes{1, 8, 10, 15};
constexpr std::array<std::uint8_t, 3> kUpperHeaterCodes{1, 2, 3};

// Code of a list position, or nothing for a position outside the list.
std::optional<std::uint8_t> lowerHeaterCode(int position);
std::optional<std::uint8_t> upperHeaterCode(int position);
// List position of a code, or nothing for a code the list does not carry.
std::optional<int> lowerHeaterPosition(int code);
std::optional<int> upperHeaterPosition(int code);

// The editor's input boxes, by object name.
enum class ProfileBox {
    None,
    Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8,
    Combo1, Combo2, Combo3, Combo4, Combo5, Combo6,
};
QString objectNameOf(ProfileBox box);
ProfileBox temperatureBox(int n);  // Text1, Text3, Text5
ProfileBox messageBox(int n);      // Text2, Text4, Text6
ProfileBox lowerHeaterBox(int n);  // Combo1, Combo3, Combo5
ProfileBox upperHeaterBox(int n);  // Combo2, Combo4, Combo6
constexpr ProfileBox kNameBox = ProfileBox::Text7;
constexpr ProfileBox kFileNameBox = ProfileBox::Text8;

// What the editor shows: a message box with title and text, then the focus (with the
// whole text selected) in the box it names, if any.
struct Verdict {
    QString title;
    QString text;
    ProfileBox box = ProfileBox::None;
    friend bool operator==(const Verdict&, const Verdict&) = default;
};

}  // namespace profiles

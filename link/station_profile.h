#pragma once
#include "core/profile_transfer.h"

#include <QString>

#include <array>
#include <optional>

namespace stationlink {

// A profile as the editor's boxes and lists show it, for the station transfer.
struct ScreenProfile {
    QString name;
    std::array<QString, 3> temperatures;  // as shown, in the display unit
    std::array<QString, 3> messages;
    std::array<int, 3> lowerPositions{};  // "OFF", "PERHEAT", "REFLOW", "FAST REFLOW"
    std::array<int, 3> upperPositions{};  // "OFF", "REFLOW", "FAST REFLOW"
};

// What a retrieved slot puts on screen. A list position that is empty leaves the list's
// selection as it was.
struct RetrievedProfile {
    QString name;
    std::array<QString, 3> temperatures;
    std::array<QString, 3> messages;
    std::array<std::optional<int>, 3> lowerPositions;
    std::array<std::optional<int>, 3> upperPositions;
};

// The station's read-back L.H. value (code x 50) as a list position: below 200 OFF, above
// 200 and below 500 PERHEAT, 500 to below 600 REFLOW, above 600 FAST REFLOW; exactly 200 or
// 600 keeps the selection.
std::optional<int> lowerPositionFromRead(int lowerRead);
// The read-back U.H. code 1..3 as a list position; any other code keeps the selection.
std::optional<int> upperPositionFromRead(int upperRead);

// The transfer record as the editor shows it after a retrieve: leading blanks stripped
// from the name and the messages, temperatures in the display unit, the X3 fix-ups.
RetrievedProfile screenFromTransfer(const core::ProfileTransfer& t, bool fahrenheit);

// The transfer record for a save: name padded to 12, messages to 20, temperatures in
// Celsius as high and low bytes, the heater codes of the list positions. Empty when a
// temperature is not a whole number that fits (in Fahrenheit: whose Celsius fits).
std::optional<core::ProfileTransfer> transferFromScreen(const ScreenProfile& p, bool fahrenheit);

// Whether what the station gave back is what was sent: name, temperatures, messages and
// heater codes.
bool sameStationProfile(const core::ProfileTransfer& sent, const core::ProfileTransfer& readBack);

// Whether a slot read back shows on screen what the save sent: the comparison a verify makes,
// so that a value the station keeps in its own way (an X3 of 240 read back as 24) and that a
// retrieve shows as sent is not a failure.
bool sameOnScreen(const core::ProfileTransfer& sent, const core::ProfileTransfer& readBack, bool fahrenheit);

// The first point (0..2) whose temperature is below 0 C, which a slot cannot hold.
std::optional<int> pointBelowZero(const ScreenProfile& p, bool fahrenheit);

QString padRight(const QString& text, int width);

}  // namespace stationlink

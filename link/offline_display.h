#pragma once
#include "link/station_display.h"

namespace stationlink {

// The one offline face of every display: the offline picture, empty grey LCD lines, no
// temperature, no station identity, "Offline" in status and caption, only "Connect"
// among the station menus, and no station controls.
void showOfflineDisplay(StationDisplay& display);

constexpr const char* kOnlineCaption = "KR-9300 Control Room [Machine Online]";
constexpr const char* kOfflineCaption = "KR-9300 Control Room [Machine Offline]";
constexpr const char* kOfflinePicture = "Parkmode Offline.jpg";
constexpr const char* kNormalPicture = "NormalMode-1.jpg";
constexpr const char* kParkPicture = "parkmode-1.jpg";
constexpr const char* kMachineStatus = "Machine Status: ";

}  // namespace stationlink

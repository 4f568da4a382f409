#include "link/offline_display.h"

namespace stationlink {

void showOfflineDisplay(StationDisplay& display) {
    display.showModePicture(kOfflinePicture, QString(kMachineStatus) + "N/A");
    for (int i = 0; i < 4; ++i) display.setLcdLine(i, QString());
    display.setLcdBackground(kLcdOffline);
    display.setTemperatureLabelVisible(false);
    display.setStatusPanel(1, "KR-9300 Status: Offline");
    display.setStatusPanel(2, "F/W Ver.: N/A");
    display.setStatusPanel(3, "Machine ID: N/A");
    display.setCaption(kOfflineCaption);
    display.setMenuEnabled(ToolsMenu::Disconnect, false);
    display.setMenuEnabled(ToolsMenu::Connect, true);
    display.setMenuEnabled(ToolsMenu::Defaults, false);
    display.setMenuEnabled(ToolsMenu::Options, false);
    display.setStationControlsEnabled(false);
    display.setLiveValuesStale(false);
    display.setFanState(kFanUnknown);
    display.setSafetyNotice(SafetyNotice::None);
}

}  // namespace stationlink

#include "link/link.h"

namespace stationlink {

bool Link::OpenStationPort() {
    // A close that fails on a handle we never opened (or already closed) says nothing
    // worth a line; only a failing close of an open handle is reported.
    const bool wasOpen = state_.PortOpen;
    if (!closePort() && wasOpen) addLine("Port CLose Failed");
    state_.PortOpen = false;

    if (bridge_.open(0, state_.DeviceHandle) != 0) return false;
    state_.PortOpen = true;
    const platform::BridgeHandle h = state_.DeviceHandle;
    if (bridge_.setBaudRate(h, 115200) != 0) {
        addLine("BaudRate Failed");
        return false;
    }
    if (bridge_.setDataCharacteristics(h, 8, 0, 0) != 0) {
        addLine("Parameters set Failed");
        return false;
    }
    if (bridge_.setFlowControl(h, 0x0100, 0, 0) != 0) {
        addLine("Flow set Failed");
        return false;
    }
    if (bridge_.purge(h, platform::kPurgeTx) != 0) {
        addLine("Clear Tx Buffer Failed");
        return false;
    }
    if (bridge_.purge(h, platform::kPurgeRx) != 0) {
        addLine("Clear Rx Buffer Failed");
        return false;
    }
    if (bridge_.setLatencyTimer(h, 1) != 0) {
        addLine("Setting Latency Timer Failed");
        return false;
    }
    return true;
}

}  // namespace stationlink

#pragma once
#include "link/link.h"
#include "link/station_display.h"

namespace stationlink {

// The two profile transactions: a station slot written from ProfileTransfer, or read
// into it. The poller runs them for request slots 5 and 8, one per tick; results are
// WriteDone / ReadDone, lines in the diagnostic list, and for a slot number other than
// 1..3 a text in the main window's status panel 1.
class StationProfiles {
public:
    StationProfiles(Link& link, StationDisplay& display) : link_(link), display_(display) {}

    void WriteStationProfile();
    void ReadStationProfile();

    static constexpr int kWritePacingMs = 500;
    static constexpr int kWriteReplyTimeoutMs = 20000;
    static constexpr int kReadReplyTimeoutMs = 10000;
    static constexpr int kReadReplySize = 85;

private:
    Link& link_;
    StationDisplay& display_;
};

}  // namespace stationlink

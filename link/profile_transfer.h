#pragma once
#include "link/link.h"
#include "link/station_display.h"

#include <optional>

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

    // While a slot write is under way: the time until it should be over (its bytes at the
    // write pace, then the station's storing time), never less than a second. Nothing
    // when no write is under way.
    std::optional<std::int64_t> writeMsLeft() const;
    // A slot write or read is under way now.
    bool writing() const { return writeStartMs_ >= 0; }
    // Payload bytes of the slot write under way that are out (0..81); 0 when none is.
    int payloadBytesSent() const { return writing() ? payloadSent_ : 0; }
    bool reading() const { return reading_; }

    static constexpr int kWritePacingMs = 500;
    static constexpr int kWriteReplyTimeoutMs = 20000;
    static constexpr int kReadReplyTimeoutMs = 10000;
    static constexpr int kReadReplySize = 85;
    static constexpr int kStoreAllowanceMs = 2000;  // the station's storing before it replies

private:
    Link& link_;
    StationDisplay& display_;
    std::int64_t writeStartMs_ = -1;
    int payloadSent_ = 0;
    bool reading_ = false;
};

}  // namespace stationlink

#include "link/reply_decode.h"

namespace stationlink {

void decodeStatus(const ReplyBuffer& r, core::SharedState& s) {
    if (r[6] > 1) {
        s.PcbTemperatureValid = false;
    } else {
        s.PcbTemperature = static_cast<std::int16_t>(r[5] + 256 * r[6]);
        s.PcbTemperatureValid = true;
    }
    // A mode is only touched when the received byte differs from what is stored, so an
    // out-of-range byte (stored as its "other" code) counts as a change on every poll.
    if (r[7] != s.LowerHeaterMode) {
        s.LowerHeaterMode = (r[7] >= 1 && r[7] <= 4) ? std::int16_t(r[7]) : std::int16_t(core::LhUnknown);
        s.LowerHeaterModeChanged = true;
        s.LowerModeChangeSeen = true;
    }
    if (r[8] != s.UpperHeaterMode) {
        s.UpperHeaterMode = (r[8] >= 1 && r[8] <= 3) ? std::int16_t(r[8]) : std::int16_t(core::UhUnknown);
        s.UpperHeaterModeChanged = true;
        s.UpperModeChangeSeen = true;
    }
    if (r[9] != s.MachineMode) {
        s.MachineMode = r[9];
        s.MachineModeChanged = true;
    }
    if (r[10] != s.FanState) s.FanState = r[10];
}

QString machineIdText(std::uint8_t first, std::uint8_t second) {
    auto part = [](std::uint8_t b) { return b < 10 ? "0" + QString::number(b) : QString::number(b); };
    return "0637" + part(first) + part(second);
}

void decodeIdentification(const ReplyBuffer& r, core::SharedState& s) {
    s.MachineId = machineIdText(r[7], r[8]);
    s.FirmwareVersion = r[9];
}

int settingsDataBytes(int firmwareVersion) { return firmwareVersion == 7 ? 15 : 13; }

void decodeSettings(const ReplyBuffer& r, core::SharedState& s) {
    const int n = settingsDataBytes(s.FirmwareVersion);
    for (int i = 0; i < n; ++i) s.MachineSettings[std::size_t(i)] = r[std::size_t(5 + i)];
}

}  // namespace stationlink

#pragma once
#include "core/shared_state.h"
#include "link/frame.h"

#include <QString>

namespace stationlink {

// Decoders for the data bytes of replies, from index 5 of the reply buffer on.

// Status poll: temperature, probe state, heater modes, machine mode and fan into the
// live status record, with the changed flags.
void decodeStatus(const ReplyBuffer& reply, core::SharedState& state);
// "0637" followed by the two identity bytes, each with a leading 0 below 10.
QString machineIdText(std::uint8_t first, std::uint8_t second);
// Identification: MachineId and FirmwareVersion.
void decodeIdentification(const ReplyBuffer& reply, core::SharedState& state);
// Settings read: 13 data bytes (15 with firmware 7) into MachineSettings.
void decodeSettings(const ReplyBuffer& reply, core::SharedState& state);
int settingsDataBytes(int firmwareVersion);

}  // namespace stationlink

#pragma once
#include "platform/virtual_clock.h"
#include "simulator/sim_station.h"

#include <cstdint>
#include <vector>

namespace testsupport {

// Plays the program's side of the line by hand: writes a frame with the given pause
// after each byte and collects what the station answers.
struct SimHost {
    platform::VirtualClock& clock;
    simulator::SimStation& station;

    void send(const std::vector<std::uint8_t>& frame, int gapMs = 10) {
        for (std::uint8_t b : frame) {
            station.hostWrite(b);
            clock.advance(gapMs);
        }
    }
    std::vector<std::uint8_t> receive(int waitMs = 2000) {
        clock.advance(waitMs);
        std::vector<std::uint8_t> out;
        std::uint8_t b;
        while (station.hostRead(b)) out.push_back(b);
        return out;
    }
    std::vector<std::uint8_t> exchange(const std::vector<std::uint8_t>& frame, int waitMs = 2000) {
        send(frame);
        return receive(waitMs);
    }
};

// A command frame: AA, checksum, length, opcode, payload.
inline std::vector<std::uint8_t> frameOf(std::uint8_t opcode, const std::vector<std::uint8_t>& payload = {}) {
    unsigned sum = 1 + unsigned(payload.size()) + opcode;
    for (std::uint8_t b : payload) sum += b;
    std::vector<std::uint8_t> f{0xAA, std::uint8_t(sum % 256), std::uint8_t(1 + payload.size()), opcode};
    f.insert(f.end(), payload.begin(), payload.end());
    return f;
}

}  // namespace testsupport

#pragma once
#include <QByteArray>

#include <cstdint>

namespace core {

// One profile on its way between the program and a station slot. Texts are single-byte
// characters: the name travels as exactly 12, each message as exactly 20.
struct ProfileTransfer {
    std::int16_t ProfileNumber = 0;  // slot 1..3, 0 = none
    QByteArray Name;
    std::uint8_t X1High = 0, X1Low = 0;
    std::uint8_t X2High = 0, X2Low = 0;
    std::uint8_t X3High = 0, X3Low = 0;
    QByteArray X1Message, X2Message, X3Message;
    std::uint8_t X1LowerCode = 1, X2LowerCode = 1, X3LowerCode = 1;  // 1 OFF, 8 PREHEAT, 10 REFLOW, 15 FAST
    std::uint8_t X1UpperCode = 1, X2UpperCode = 1, X3UpperCode = 1;  // 1 OFF, 2 REFLOW, 3 FAST
    std::int16_t X1UpperRead = 0, X2UpperRead = 0, X3UpperRead = 0;
    std::int16_t X1LowerRead = 0, X2LowerRead = 0, X3LowerRead = 0;
    bool ReadDone = false;
    bool WriteDone = false;
};

}  // namespace core

#pragma once
#include <cstdint>

namespace platform {

// Handle of an open USB bridge. Values are chosen by the implementation; 0 is never open.
using BridgeHandle = std::uint32_t;
// Result of every bridge operation: 0 is success, anything else a failure.
using BridgeStatus = int;

constexpr std::uint32_t kPurgeRx = 1;  // receive buffer
constexpr std::uint32_t kPurgeTx = 2;  // transmit buffer

// The ten operations of the USB serial bridge, nothing more. Link code calls them in
// the protocol's order with the protocol's values; implementations hold no logic.
class Bridge {
public:
    virtual ~Bridge() = default;
    virtual BridgeStatus open(int deviceIndex, BridgeHandle& handle) = 0;
    virtual BridgeStatus close(BridgeHandle handle) = 0;
    virtual BridgeStatus setBaudRate(BridgeHandle handle, std::uint32_t rate) = 0;
    virtual BridgeStatus setDataCharacteristics(BridgeHandle handle, std::uint8_t wordLength,
                                                std::uint8_t stopBits, std::uint8_t parity) = 0;
    virtual BridgeStatus setFlowControl(BridgeHandle handle, std::uint16_t mode, std::uint8_t xon,
                                        std::uint8_t xoff) = 0;
    virtual BridgeStatus purge(BridgeHandle handle, std::uint32_t mask) = 0;
    virtual BridgeStatus setLatencyTimer(BridgeHandle handle, std::uint8_t milliseconds) = 0;
    virtual BridgeStatus getQueueStatus(BridgeHandle handle, std::uint32_t& bytesWaiting) = 0;
    virtual BridgeStatus write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                               std::uint32_t& written) = 0;
    virtual BridgeStatus read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                              std::uint32_t& got) = 0;
};

}  // namespace platform

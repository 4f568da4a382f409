#pragma once
#include "platform/bridge.h"
#include "simulator/sim_station.h"

namespace simulator {

// A bridge whose far end is a SimStation. Opening fails while the station is unplugged;
// a handle stops working when the cable is pulled; failures can be injected per call.
class SimBridge final : public platform::Bridge {
public:
    explicit SimBridge(SimStation& station) : station_(station) {}

    bool isOpen() const { return open_ != 0; }
    platform::BridgeHandle openHandle() const { return open_; }
    std::uint64_t opens() const { return opens_; }
    SimStation& station() { return station_; }

    platform::BridgeStatus open(int deviceIndex, platform::BridgeHandle& handle) override;
    platform::BridgeStatus close(platform::BridgeHandle handle) override;
    platform::BridgeStatus setBaudRate(platform::BridgeHandle handle, std::uint32_t rate) override;
    platform::BridgeStatus setDataCharacteristics(platform::BridgeHandle handle, std::uint8_t wordLength,
                                                  std::uint8_t stopBits, std::uint8_t parity) override;
    platform::BridgeStatus setFlowControl(platform::BridgeHandle handle, std::uint16_t mode, std::uint8_t xon,
                                          std::uint8_t xoff) override;
    platform::BridgeStatus purge(platform::BridgeHandle handle, std::uint32_t mask) override;
    platform::BridgeStatus setLatencyTimer(platform::BridgeHandle handle, std::uint8_t milliseconds) override;
    platform::BridgeStatus getQueueStatus(platform::BridgeHandle handle, std::uint32_t& bytesWaiting) override;
    platform::BridgeStatus write(platform::BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                                 std::uint32_t& written) override;
    platform::BridgeStatus read(platform::BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                                std::uint32_t& got) override;

private:
    // 0 when the handle is the open one and the station is still on the cable.
    platform::BridgeStatus check(platform::BridgeHandle handle, BridgeOp op);

    SimStation& station_;
    platform::BridgeHandle open_ = 0;
    platform::BridgeHandle next_ = 0x1000;
    std::uint64_t generation_ = 0;
    std::uint64_t opens_ = 0;
};

}  // namespace simulator

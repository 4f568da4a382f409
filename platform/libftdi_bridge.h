#pragma once
#include "platform/bridge.h"

#include <deque>

struct ftdi_context;

namespace platform {

// The USB bridge on libftdi1: index 0 is the first FTDI device found on the bus.
// libftdi has no queue-status call, so received bytes are collected in a local queue
// that queue status fills and read drains.
class LibFtdiBridge final : public Bridge {
public:
    LibFtdiBridge();
    ~LibFtdiBridge() override;
    LibFtdiBridge(const LibFtdiBridge&) = delete;
    LibFtdiBridge& operator=(const LibFtdiBridge&) = delete;

    BridgeStatus open(int deviceIndex, BridgeHandle& handle) override;
    BridgeStatus close(BridgeHandle handle) override;
    BridgeStatus setBaudRate(BridgeHandle handle, std::uint32_t rate) override;
    BridgeStatus setDataCharacteristics(BridgeHandle handle, std::uint8_t wordLength,
                                        std::uint8_t stopBits, std::uint8_t parity) override;
    BridgeStatus setFlowControl(BridgeHandle handle, std::uint16_t mode, std::uint8_t xon,
                                std::uint8_t xoff) override;
    BridgeStatus purge(BridgeHandle handle, std::uint32_t mask) override;
    BridgeStatus setLatencyTimer(BridgeHandle handle, std::uint8_t milliseconds) override;
    BridgeStatus getQueueStatus(BridgeHandle handle, std::uint32_t& bytesWaiting) override;
    BridgeStatus write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                       std::uint32_t& written) override;
    BridgeStatus read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                      std::uint32_t& got) override;

private:
    bool isOpen(BridgeHandle handle) const;
    BridgeStatus fillQueue();
    void release();

    ftdi_context* ctx_ = nullptr;
    BridgeHandle current_ = 0;
    BridgeHandle nextHandle_ = 1;
    std::deque<std::uint8_t> rxQueue_;
};

}  // namespace platform

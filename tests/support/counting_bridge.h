#pragma once
#include "platform/bridge.h"

#include <string>
#include <vector>

namespace testsupport {

// Passes every call on to another bridge and records its name, so a test can tell
// whether anything touched the bridge after a given moment.
class CountingBridge final : public platform::Bridge {
public:
    explicit CountingBridge(platform::Bridge& inner) : inner_(inner) {}

    std::vector<std::string> calls;

    platform::BridgeStatus open(int deviceIndex, platform::BridgeHandle& handle) override {
        calls.push_back("open");
        return inner_.open(deviceIndex, handle);
    }
    platform::BridgeStatus close(platform::BridgeHandle handle) override {
        calls.push_back("close");
        return inner_.close(handle);
    }
    platform::BridgeStatus setBaudRate(platform::BridgeHandle handle, std::uint32_t rate) override {
        calls.push_back("baud");
        return inner_.setBaudRate(handle, rate);
    }
    platform::BridgeStatus setDataCharacteristics(platform::BridgeHandle handle, std::uint8_t wordLength,
                                                  std::uint8_t stopBits, std::uint8_t parity) override {
        calls.push_back("data");
        return inner_.setDataCharacteristics(handle, wordLength, stopBits, parity);
    }
    platform::BridgeStatus setFlowControl(platform::BridgeHandle handle, std::uint16_t mode, std::uint8_t xon,
                                          std::uint8_t xoff) override {
        calls.push_back("flow");
        return inner_.setFlowControl(handle, mode, xon, xoff);
    }
    platform::BridgeStatus purge(platform::BridgeHandle handle, std::uint32_t mask) override {
        calls.push_back("purge");
        return inner_.purge(handle, mask);
    }
    platform::BridgeStatus setLatencyTimer(platform::BridgeHandle handle, std::uint8_t milliseconds) override {
        calls.push_back("latency");
        return inner_.setLatencyTimer(handle, milliseconds);
    }
    platform::BridgeStatus getQueueStatus(platform::BridgeHandle handle, std::uint32_t& bytesWaiting) override {
        calls.push_back("queue");
        return inner_.getQueueStatus(handle, bytesWaiting);
    }
    platform::BridgeStatus write(platform::BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                                 std::uint32_t& written) override {
        calls.push_back("write");
        return inner_.write(handle, buffer, count, written);
    }
    platform::BridgeStatus read(platform::BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                                std::uint32_t& got) override {
        calls.push_back("read");
        return inner_.read(handle, buffer, count, got);
    }

private:
    platform::Bridge& inner_;
};

}  // namespace testsupport

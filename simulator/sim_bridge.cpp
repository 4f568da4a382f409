#include "simulator/sim_bridge.h"

namespace simulator {

namespace {
constexpr platform::BridgeStatus kDeviceNotFound = 2;
constexpr platform::BridgeStatus kInvalidHandle = 1;
constexpr platform::BridgeStatus kIoError = 4;
}  // namespace

platform::BridgeStatus SimBridge::check(platform::BridgeHandle handle, BridgeOp op) {
    if (open_ == 0 || handle != open_) return kInvalidHandle;
    if (!station_.plugged() || generation_ != station_.plugGeneration()) return kIoError;
    if (station_.faults().drawBridgeFailure(op)) {
        station_.noteFault();
        return kIoError;
    }
    return 0;
}

platform::BridgeStatus SimBridge::open(int deviceIndex, platform::BridgeHandle& handle) {
    if (deviceIndex != 0 || !station_.plugged()) return kDeviceNotFound;
    if (station_.faults().drawBridgeFailure(BridgeOp::Open)) {
        station_.noteFault();
        return kDeviceNotFound;
    }
    open_ = ++next_;
    generation_ = station_.plugGeneration();
    ++opens_;
    handle = open_;
    station_.hostPurgeRx();
    return 0;
}

platform::BridgeStatus SimBridge::close(platform::BridgeHandle handle) {
    if (open_ == 0 || handle != open_) return kInvalidHandle;
    if (station_.faults().drawBridgeFailure(BridgeOp::Close)) {
        station_.noteFault();
        return kIoError;
    }
    open_ = 0;
    return 0;
}

platform::BridgeStatus SimBridge::setBaudRate(platform::BridgeHandle handle, std::uint32_t) {
    return check(handle, BridgeOp::BaudRate);
}

platform::BridgeStatus SimBridge::setDataCharacteristics(platform::BridgeHandle handle, std::uint8_t, std::uint8_t,
                                                         std::uint8_t) {
    return check(handle, BridgeOp::DataCharacteristics);
}

platform::BridgeStatus SimBridge::setFlowControl(platform::BridgeHandle handle, std::uint16_t, std::uint8_t,
                                                 std::uint8_t) {
    return check(handle, BridgeOp::FlowControl);
}

platform::BridgeStatus SimBridge::purge(platform::BridgeHandle handle, std::uint32_t mask) {
    if (const auto s = check(handle, BridgeOp::Purge)) return s;
    if (mask & platform::kPurgeRx) station_.hostPurgeRx();
    return 0;
}

platform::BridgeStatus SimBridge::setLatencyTimer(platform::BridgeHandle handle, std::uint8_t) {
    return check(handle, BridgeOp::Latency);
}

platform::BridgeStatus SimBridge::getQueueStatus(platform::BridgeHandle handle, std::uint32_t& bytesWaiting) {
    if (const auto s = check(handle, BridgeOp::QueueStatus)) return s;
    bytesWaiting = static_cast<std::uint32_t>(station_.hostAvailable());
    return 0;
}

platform::BridgeStatus SimBridge::write(platform::BridgeHandle handle, const std::uint8_t* buffer,
                                        std::uint32_t count, std::uint32_t& written) {
    written = 0;
    if (const auto s = check(handle, BridgeOp::Write)) return s;
    for (std::uint32_t i = 0; i < count; ++i) station_.hostWrite(buffer[i]);
    written = count;
    return 0;
}

platform::BridgeStatus SimBridge::read(platform::BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                                       std::uint32_t& got) {
    got = 0;
    if (const auto s = check(handle, BridgeOp::Read)) return s;
    while (got < count && station_.hostRead(buffer[got])) ++got;
    return 0;
}

}  // namespace simulator

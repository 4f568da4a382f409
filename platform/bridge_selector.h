#pragma once
#include "platform/bridge.h"

#include <functional>

namespace platform {

// A bridge that decides at each open which of two bridges to use, and sends every
// later call to the one that was opened.
class BridgeSelector final : public Bridge {
public:
    BridgeSelector(Bridge& primary, Bridge& alternative, std::function<bool()> useAlternative)
        : primary_(primary), alternative_(alternative), useAlternative_(std::move(useAlternative)) {}

    bool alternativeInUse() const { return active_ == &alternative_; }

    BridgeStatus open(int deviceIndex, BridgeHandle& handle) override {
        active_ = useAlternative_() ? &alternative_ : &primary_;
        return active_->open(deviceIndex, handle);
    }
    BridgeStatus close(BridgeHandle h) override { return active_->close(h); }
    BridgeStatus setBaudRate(BridgeHandle h, std::uint32_t rate) override { return active_->setBaudRate(h, rate); }
    BridgeStatus setDataCharacteristics(BridgeHandle h, std::uint8_t w, std::uint8_t s, std::uint8_t p) override {
        return active_->setDataCharacteristics(h, w, s, p);
    }
    BridgeStatus setFlowControl(BridgeHandle h, std::uint16_t mode, std::uint8_t xon, std::uint8_t xoff) override {
        return active_->setFlowControl(h, mode, xon, xoff);
    }
    BridgeStatus purge(BridgeHandle h, std::uint32_t mask) override { return active_->purge(h, mask); }
    BridgeStatus setLatencyTimer(BridgeHandle h, std::uint8_t ms) override { return active_->setLatencyTimer(h, ms); }
    BridgeStatus getQueueStatus(BridgeHandle h, std::uint32_t& n) override { return active_->getQueueStatus(h, n); }
    BridgeStatus write(BridgeHandle h, const std::uint8_t* b, std::uint32_t c, std::uint32_t& w) override {
        return active_->write(h, b, c, w);
    }
    BridgeStatus read(BridgeHandle h, std::uint8_t* b, std::uint32_t c, std::uint32_t& g) override {
        return active_->read(h, b, c, g);
    }

private:
    Bridge& primary_;
    Bridge& alternative_;
    std::function<bool()> useAlternative_;
    Bridge* active_ = &primary_;
};

}  // namespace platform

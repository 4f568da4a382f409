#include "platform/libftdi_bridge.h"

#include <ftdi.h>

namespace platform {

namespace {
constexpr BridgeStatus kFailed = 1;
constexpr BridgeStatus kNotOpen = 2;
// A write blocks while CTS is low; give up well before the reply timeouts do.
constexpr int kWriteTimeoutMs = 1000;
constexpr int kReadTimeoutMs = 100;
}  // namespace

LibFtdiBridge::LibFtdiBridge() = default;

LibFtdiBridge::~LibFtdiBridge() { release(); }

void LibFtdiBridge::release() {
    if (ctx_) {
        ftdi_usb_close(ctx_);
        ftdi_free(ctx_);
        ctx_ = nullptr;
    }
    current_ = 0;
    rxQueue_.clear();
}

bool LibFtdiBridge::isOpen(BridgeHandle handle) const {
    return ctx_ != nullptr && handle != 0 && handle == current_;
}

BridgeStatus LibFtdiBridge::open(int deviceIndex, BridgeHandle& handle) {
    // One handle at a time: a new open replaces whatever was open before.
    release();
    ftdi_context* ctx = ftdi_new();
    if (!ctx) return kFailed;
    ctx->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;

    ftdi_device_list* list = nullptr;
    const int found = ftdi_usb_find_all(ctx, &list, 0, 0);
    ftdi_device_list* entry = list;
    for (int i = 0; entry && i < deviceIndex; ++i) entry = entry->next;
    const bool opened = found > 0 && entry && ftdi_usb_open_dev(ctx, entry->dev) == 0;
    if (list) ftdi_list_free(&list);
    if (!opened) {
        ftdi_free(ctx);
        return kFailed;
    }
    ctx->usb_write_timeout = kWriteTimeoutMs;
    ctx->usb_read_timeout = kReadTimeoutMs;
    ctx_ = ctx;
    current_ = nextHandle_++;
    if (nextHandle_ == 0) nextHandle_ = 1;
    handle = current_;
    return 0;
}

BridgeStatus LibFtdiBridge::close(BridgeHandle handle) {
    if (!isOpen(handle)) return kNotOpen;
    release();
    return 0;
}

BridgeStatus LibFtdiBridge::setBaudRate(BridgeHandle handle, std::uint32_t rate) {
    if (!isOpen(handle)) return kNotOpen;
    return ftdi_set_baudrate(ctx_, static_cast<int>(rate)) == 0 ? 0 : kFailed;
}

BridgeStatus LibFtdiBridge::setDataCharacteristics(BridgeHandle handle, std::uint8_t wordLength,
                                                   std::uint8_t stopBits, std::uint8_t parity) {
    if (!isOpen(handle)) return kNotOpen;
    // Protocol codes: stop bits 0 = one, 2 = two; parity 0 none, 1 odd, 2 even, 3 mark, 4 space.
    const ftdi_bits_type bits = wordLength == 7 ? BITS_7 : BITS_8;
    const ftdi_stopbits_type stop = stopBits == 2 ? STOP_BIT_2 : (stopBits == 1 ? STOP_BIT_15 : STOP_BIT_1);
    ftdi_parity_type par = NONE;
    switch (parity) {
        case 1: par = ODD; break;
        case 2: par = EVEN; break;
        case 3: par = MARK; break;
        case 4: par = SPACE; break;
        default: par = NONE; break;
    }
    return ftdi_set_line_property(ctx_, bits, stop, par) == 0 ? 0 : kFailed;
}

BridgeStatus LibFtdiBridge::setFlowControl(BridgeHandle handle, std::uint16_t mode, std::uint8_t,
                                           std::uint8_t) {
    if (!isOpen(handle)) return kNotOpen;
    return ftdi_setflowctrl(ctx_, mode) == 0 ? 0 : kFailed;
}

BridgeStatus LibFtdiBridge::purge(BridgeHandle handle, std::uint32_t mask) {
    if (!isOpen(handle)) return kNotOpen;
    BridgeStatus status = 0;
    if (mask & kPurgeRx) {
        rxQueue_.clear();
        if (ftdi_tciflush(ctx_) != 0) status = kFailed;
    }
    if (mask & kPurgeTx) {
        if (ftdi_tcoflush(ctx_) != 0) status = kFailed;
    }
    return status;
}

BridgeStatus LibFtdiBridge::setLatencyTimer(BridgeHandle handle, std::uint8_t milliseconds) {
    if (!isOpen(handle)) return kNotOpen;
    return ftdi_set_latency_timer(ctx_, milliseconds) == 0 ? 0 : kFailed;
}

BridgeStatus LibFtdiBridge::fillQueue() {
    unsigned char chunk[64];
    const int n = ftdi_read_data(ctx_, chunk, sizeof chunk);
    if (n < 0) return kFailed;  // device gone or USB error
    rxQueue_.insert(rxQueue_.end(), chunk, chunk + n);
    return 0;
}

BridgeStatus LibFtdiBridge::getQueueStatus(BridgeHandle handle, std::uint32_t& bytesWaiting) {
    if (!isOpen(handle)) return kNotOpen;
    const BridgeStatus status = fillQueue();
    bytesWaiting = static_cast<std::uint32_t>(rxQueue_.size());
    return status;
}

BridgeStatus LibFtdiBridge::write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                                  std::uint32_t& written) {
    written = 0;
    if (!isOpen(handle)) return kNotOpen;
    const int n = ftdi_write_data(ctx_, buffer, static_cast<int>(count));
    if (n < 0) return kFailed;
    written = static_cast<std::uint32_t>(n);
    return written == count ? 0 : kFailed;
}

BridgeStatus LibFtdiBridge::read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                                 std::uint32_t& got) {
    got = 0;
    if (!isOpen(handle)) return kNotOpen;
    if (rxQueue_.size() < count && fillQueue() != 0) return kFailed;
    while (got < count && !rxQueue_.empty()) {
        buffer[got++] = rxQueue_.front();
        rxQueue_.pop_front();
    }
    return 0;
}

}  // namespace platform

#include "platform/libftdi_bridge.h"

#include <QStringList>

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>

namespace platform {

namespace {
// Status codes in the manner of the vendor's library.
constexpr BridgeStatus kInvalidHandle = 1;
constexpr BridgeStatus kDeviceNotFound = 2;
constexpr BridgeStatus kDeviceNotOpened = 3;
constexpr BridgeStatus kIoError = 4;

constexpr std::uint16_t kFtdiVendor = 0x0403;
constexpr std::uint16_t kFt232r = 0x6001;

// libftdi's "inappropriate permissions on device!": the kernel driver could not be detached.
constexpr int kFtdiPermissionDenied = -8;

QString hex4(std::uint16_t v) { return QString::number(v, 16).rightJustified(4, '0'); }

QString libftdiReason(ftdi_context* ctx) { return QString::fromLocal8Bit(ftdi_get_error_string(ctx)); }
}  // namespace

QString LibFtdiBridge::Candidate::key() const {
    return QString("%1:%2 %3-%4").arg(hex4(vendor), hex4(product)).arg(bus).arg(address);
}

QString LibFtdiBridge::Candidate::name() const {
    QString s = QString("FTDI device %1:%2 at bus %3 address %4").arg(hex4(vendor), hex4(product)).arg(bus).arg(address);
    if (!serial.isEmpty()) s += ", serial " + serial;
    return s;
}

LibFtdiBridge::LibFtdiBridge(QString wantedSerial) : wantedSerial_(std::move(wantedSerial)) {}

LibFtdiBridge::~LibFtdiBridge() {
    notices_ = nullptr;  // whoever listened may be gone already
    release();
}

void LibFtdiBridge::notify(BridgeNotice::Kind kind, const QString& text) {
    if (text == lastNotice_) return;
    lastNotice_ = text;
    if (notices_) notices_({kind, text});
}

void LibFtdiBridge::release() {
    if (ctx_) closeDevice();
}

int LibFtdiBridge::closeDevice() {
    const int released = ftdi_usb_close(ctx_);
    ftdi_free(ctx_);
    ctx_ = nullptr;
    current_ = 0;
    rxQueue_.clear();
    if (answered_ || !wantedSerial_.isEmpty() || answeredEver_.count(device_.key())) return released;
    unanswered_.insert(device_.key());
    notify(BridgeNotice::Kind::Info,
           device_.name() + " was closed without having sent anything; taken for an adapter on something else, "
                            "it is opened again only on every " +
               QString::number(kRetryUnansweredEvery) + "th attempt while no other FTDI device is there");
    return released;
}

bool LibFtdiBridge::isOpen(BridgeHandle handle) const {
    return ctx_ != nullptr && handle != 0 && handle == current_;
}

std::vector<LibFtdiBridge::Candidate> LibFtdiBridge::candidates(ftdi_context* ctx, ftdi_device_list* list) {
    std::vector<Candidate> found;
    for (ftdi_device_list* e = list; e; e = e->next) {
        Candidate c;
        c.dev = e->dev;
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(e->dev, &desc) == 0) {
            c.vendor = desc.idVendor;
            c.product = desc.idProduct;
        }
        c.bus = libusb_get_bus_number(e->dev);
        c.address = libusb_get_device_address(e->dev);
        if (!wantedSerial_.isEmpty()) {
            // Reading the serial number opens the device for a moment (no claim, no detach).
            char serial[128] = {};
            if (ftdi_usb_get_strings2(ctx, e->dev, nullptr, 0, nullptr, 0, serial, sizeof serial) == 0)
                c.serial = QString::fromLatin1(serial);
        }
        found.push_back(c);
    }
    // The station's chip first; the list's own order otherwise.
    std::stable_sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        return (a.vendor == kFtdiVendor && a.product == kFt232r) > (b.vendor == kFtdiVendor && b.product == kFt232r);
    });
    return found;
}

const LibFtdiBridge::Candidate* LibFtdiBridge::choose(const std::vector<Candidate>& found, int deviceIndex) {
    auto names = [&found] {
        QStringList l;
        for (const Candidate& c : found) l << c.name();
        return l.join("; ");
    };
    if (found.empty()) {
        notify(BridgeNotice::Kind::Failure, "no FTDI device is on the USB bus");
        return nullptr;
    }
    std::vector<const Candidate*> usable;
    if (!wantedSerial_.isEmpty()) {
        for (const Candidate& c : found)
            if (c.serial == wantedSerial_) usable.push_back(&c);
        if (usable.empty()) {
            notify(BridgeNotice::Kind::Failure,
                   "no FTDI device with serial number " + wantedSerial_ + " is on the USB bus (there: " + names() + ")");
            return nullptr;
        }
    } else {
        for (const Candidate& c : found)
            if (!unanswered_.count(c.key())) usable.push_back(&c);
        if (usable.empty()) {
            if (++passedOver_ < kRetryUnansweredEvery) return nullptr;
            usable.push_back(&found.front());
        }
        passedOver_ = 0;
    }
    if (deviceIndex < 0 || std::size_t(deviceIndex) >= usable.size()) {
        notify(BridgeNotice::Kind::Failure,
               "there is no FTDI device number " + QString::number(deviceIndex) + " (there: " + names() + ")");
        return nullptr;
    }
    return usable[std::size_t(deviceIndex)];
}

void LibFtdiBridge::reportOpenFailure(ftdi_context* ctx, const Candidate& c, int result) {
    const QString reason = libftdiReason(ctx) + " (" + QString::number(result) + ")";
    // libftdi reports a refused open like any other failed one: ask libusb itself.
    bool denied = result == kFtdiPermissionDenied;
    libusb_device_handle* probe = nullptr;
    const int direct = libusb_open(c.dev, &probe);
    if (direct == 0) libusb_close(probe);
    denied = denied || direct == LIBUSB_ERROR_ACCESS;
    if (denied) {
        const QString node = QString("/dev/bus/usb/%1/%2")
                                 .arg(c.bus, 3, 10, QChar('0'))
                                 .arg(c.address, 3, 10, QChar('0'));
        notify(BridgeNotice::Kind::AccessDenied, "access to " + c.name() + " (" + node + ") was denied: " + reason);
    } else {
        notify(BridgeNotice::Kind::Failure, "opening " + c.name() + " failed: " + reason);
    }
}

BridgeStatus LibFtdiBridge::open(int deviceIndex, BridgeHandle& handle) {
    // One handle at a time: a new open replaces whatever was open before.
    release();
    ftdi_context* ctx = ftdi_new();
    if (!ctx) {
        notify(BridgeNotice::Kind::Failure, "libftdi could not set up its USB context (ftdi_new failed)");
        return kDeviceNotFound;
    }
    ctx->usb_read_timeout = kReadTimeoutMs;
    ctx->usb_write_timeout = kWriteTimeoutMs;
    ctx->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;

    ftdi_device_list* list = nullptr;
    const int listed = ftdi_usb_find_all(ctx, &list, 0, 0);
    if (listed < 0) {
        notify(BridgeNotice::Kind::Failure, "listing the USB devices failed: " + libftdiReason(ctx));
        ftdi_free(ctx);
        return kDeviceNotFound;
    }
    const std::vector<Candidate> found = candidates(ctx, list);
    const Candidate* choice = choose(found, deviceIndex);
    BridgeStatus status = kDeviceNotFound;
    if (choice) {
        const int result = ftdi_usb_open_dev(ctx, choice->dev);
        if (result == 0) {
            device_ = *choice;
            char serial[128] = {};
            if (device_.serial.isEmpty() &&
                ftdi_usb_get_strings2(ctx, choice->dev, nullptr, 0, nullptr, 0, serial, sizeof serial) == 0)
                device_.serial = QString::fromLatin1(serial);
            device_.dev = nullptr;  // the list that held it goes now
            status = 0;
        } else {
            reportOpenFailure(ctx, *choice, result);
            status = kDeviceNotOpened;
        }
    }
    ftdi_list_free(&list);
    if (status != 0) {
        ftdi_free(ctx);
        return status;
    }
    ctx_ = ctx;
    answered_ = false;
    current_ = nextHandle_++;
    if (nextHandle_ == 0) nextHandle_ = 1;
    handle = current_;
    notify(BridgeNotice::Kind::Info, "opened " + device_.name());
    return 0;
}

BridgeStatus LibFtdiBridge::close(BridgeHandle handle) {
    if (!isOpen(handle)) return kInvalidHandle;
    // The handle is given up either way; the status says whether the device let go cleanly.
    if (closeDevice() == 0) return 0;
    notify(BridgeNotice::Kind::Failure, "closing " + device_.name() + " failed: its interface could not be released");
    return kIoError;
}

BridgeStatus LibFtdiBridge::setBaudRate(BridgeHandle handle, std::uint32_t rate) {
    if (!isOpen(handle)) return kInvalidHandle;
    return ftdi_set_baudrate(ctx_, static_cast<int>(rate)) == 0 ? 0 : kIoError;
}

BridgeStatus LibFtdiBridge::setDataCharacteristics(BridgeHandle handle, std::uint8_t wordLength,
                                                   std::uint8_t stopBits, std::uint8_t parity) {
    if (!isOpen(handle)) return kInvalidHandle;
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
    return ftdi_set_line_property(ctx_, bits, stop, par) == 0 ? 0 : kIoError;
}

BridgeStatus LibFtdiBridge::setFlowControl(BridgeHandle handle, std::uint16_t mode, std::uint8_t,
                                           std::uint8_t) {
    if (!isOpen(handle)) return kInvalidHandle;
    return ftdi_setflowctrl(ctx_, mode) == 0 ? 0 : kIoError;
}

BridgeStatus LibFtdiBridge::purge(BridgeHandle handle, std::uint32_t mask) {
    if (!isOpen(handle)) return kInvalidHandle;
    BridgeStatus status = 0;
    if (mask & kPurgeRx) {
        rxQueue_.clear();
        if (ftdi_tciflush(ctx_) != 0) status = kIoError;  // also empties libftdi's read buffer
    }
    if (mask & kPurgeTx) {
        if (ftdi_tcoflush(ctx_) != 0) status = kIoError;
    }
    return status;
}

BridgeStatus LibFtdiBridge::setLatencyTimer(BridgeHandle handle, std::uint8_t milliseconds) {
    if (!isOpen(handle)) return kInvalidHandle;
    return ftdi_set_latency_timer(ctx_, milliseconds) == 0 ? 0 : kIoError;
}

BridgeStatus LibFtdiBridge::fillQueue() {
    // Takes in everything that has arrived, as the vendor's queue status counts it: chunk
    // after chunk until one comes back short (at most kMaxChunks, so a device that never
    // stops sending cannot hold the caller).
    // One USB read can bring more than a chunk; libftdi keeps the rest in its own buffer.
    // Asked for more than that buffer holds, ftdi_read_data copies it out and then reads
    // USB, and if that read fails it returns only the error: the copied bytes are lost.
    // So the buffer is drained by reads that it can satisfy alone, and USB is read only
    // once it is empty.
    constexpr int kMaxChunks = 64;
    unsigned char chunk[64];
    for (int i = 0; i < kMaxChunks; ++i) {
        int want = int(sizeof chunk);
        if (ctx_->readbuffer_remaining > 0) want = std::min(want, int(ctx_->readbuffer_remaining));
        const int n = ftdi_read_data(ctx_, chunk, want);
        if (n < 0) return kIoError;  // device gone (LIBUSB_ERROR_NO_DEVICE) or a USB error
        if (n > 0) {
            answered_ = true;
            answeredEver_.insert(device_.key());
            unanswered_.erase(device_.key());
        }
        rxQueue_.insert(rxQueue_.end(), chunk, chunk + n);
        if (n < want) break;
    }
    return 0;
}

BridgeStatus LibFtdiBridge::getQueueStatus(BridgeHandle handle, std::uint32_t& bytesWaiting) {
    if (!isOpen(handle)) return kInvalidHandle;
    const BridgeStatus status = fillQueue();
    bytesWaiting = static_cast<std::uint32_t>(rxQueue_.size());
    return status;
}

BridgeStatus LibFtdiBridge::write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                                  std::uint32_t& written) {
    written = 0;
    if (!isOpen(handle)) return kInvalidHandle;
    // A transfer that times out part way (CTS held low) fails as a whole: libftdi does not
    // say how much of it went out, so nothing is counted as written.
    const int n = ftdi_write_data(ctx_, buffer, static_cast<int>(count));
    if (n < 0) return kIoError;
    written = static_cast<std::uint32_t>(n);
    return written == count ? 0 : kIoError;
}

BridgeStatus LibFtdiBridge::read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                                 std::uint32_t& got) {
    got = 0;
    if (!isOpen(handle)) return kInvalidHandle;
    const BridgeStatus filled = rxQueue_.size() < count ? fillQueue() : 0;
    while (got < count && !rxQueue_.empty()) {
        buffer[got++] = rxQueue_.front();
        rxQueue_.pop_front();
    }
    // Bytes already queued are handed over even when fetching more failed.
    return got > 0 ? 0 : filled;
}

}  // namespace platform

#include "tests/usb/ft232r.h"

#include "simulator/sim_station.h"

#include <libusb.h>

#include <algorithm>
#include <cstdlib>

namespace usbstandin {

namespace {
// Vendor requests of the FTDI serial engine.
constexpr std::uint8_t kReset = 0;
constexpr std::uint8_t kModemCtrl = 1;
constexpr std::uint8_t kFlowCtrl = 2;
constexpr std::uint8_t kBaudRate = 3;
constexpr std::uint8_t kData = 4;
constexpr std::uint8_t kLatency = 9;
constexpr std::uint8_t kVendorOut = 0x40;  // vendor request to the device, host to device

// Reset request values, from the chip's point of view.
constexpr std::uint16_t kResetSio = 0;
constexpr std::uint16_t kPurgeToLine = 1;  // what the host wrote and the chip has not sent yet
constexpr std::uint16_t kPurgeToHost = 2;  // what the line sent and the host has not read yet

// Modem status, first byte of every IN packet: bit 0 always set, CTS 0x10, DSR 0x20.
constexpr std::uint8_t kStatusBase = 0x01;
constexpr std::uint8_t kCts = 0x10;
constexpr std::uint8_t kDsr = 0x20;
// Line status, second byte: transmitter holding register and transmitter empty.
constexpr std::uint8_t kLineIdle = 0x60;

constexpr int kStationBaud = 115200;
}  // namespace

Ft232r::Ft232r(Identity identity, simulator::SimStation* station) : id_(std::move(identity)), station_(station) {}

bool Ft232r::present() const { return attached_ && (station_ == nullptr || station_->plugged()); }

std::uint64_t Ft232r::generation() const { return replugs_ + (station_ ? station_->plugGeneration() : 1); }

std::uint8_t Ft232r::address() const { return std::uint8_t(id_.address + generation() - 1); }

void Ft232r::attach() {
    if (attached_) return;
    attached_ = true;
    ++replugs_;
    // A chip that comes back has forgotten its settings.
    baud_ = 9600;
    flow_ = 0;
    latency_ = 16;
    toHost_.clear();
}

void Ft232r::failNextControl(std::uint8_t request, int libusbError) {
    failControlRequest_ = request;
    failControlCode_ = libusbError;
}

void Ft232r::failBulkIn(int libusbError, int after) {
    failBulkIn_ = libusbError;
    failBulkInAfter_ = after;
}

void Ft232r::receiveFromLine(const std::vector<std::uint8_t>& bytes) {
    toHost_.insert(toHost_.end(), bytes.begin(), bytes.end());
}

bool Ft232r::lineMatchesStation() const {
    return std::abs(baud_ - kStationBaud) * 100 <= kStationBaud * 3 && dataBits_ == 8 && parity_ == 0 &&
           stopBits_ == 0;
}

void Ft232r::setBaudDivisor(std::uint16_t value, std::uint16_t index) {
    // 14 bits of whole divisor, three bits of eighths (two in the value, one in the index),
    // from a 3 MHz base; divisors 0 and 1 mean 3 and 2 MBaud.
    static constexpr int kEighths[8] = {0, 4, 2, 1, 3, 5, 6, 7};
    const int whole = value & 0x3FFF;
    const int code = (value >> 14) | ((index & 1) << 2);
    if (whole == 0 && code == 0) baud_ = 3000000;
    else if (whole == 1 && code == 0) baud_ = 2000000;
    else baud_ = 24000000 / (whole * 8 + kEighths[code]);
}

int Ft232r::control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                    std::uint16_t length, unsigned timeoutMs) {
    controls_.push_back({requestType, request, value, index, length, timeoutMs});
    timeouts_.push_back(timeoutMs);
    if (!present()) return LIBUSB_ERROR_NO_DEVICE;
    if (failControlRequest_ == request) {
        failControlRequest_ = -1;
        return failControlCode_;
    }
    // The bridge sends only vendor requests without data; anything else the chip stalls.
    if (requestType != kVendorOut || length != 0) return LIBUSB_ERROR_PIPE;
    switch (request) {
        case kReset:
            if (value == kResetSio) {
                ++resets_;
                toHost_.clear();
                if (station_) station_->hostPurgeRx();
            } else if (value == kPurgeToHost) {
                ++inputPurges_;
                toHost_.clear();
                if (station_) station_->hostPurgeRx();
            } else if (value == kPurgeToLine) {
                ++outputPurges_;  // writes leave at once here, so nothing is waiting
            } else {
                return LIBUSB_ERROR_PIPE;
            }
            return 0;
        case kModemCtrl:
            return 0;
        case kFlowCtrl:
            flow_ = index >> 8;
            return 0;
        case kBaudRate:
            setBaudDivisor(value, index);
            return 0;
        case kData:
            dataBits_ = value & 0xFF;
            parity_ = (value >> 8) & 0x7;
            stopBits_ = (value >> 11) & 0x3;
            return 0;
        case kLatency:
            if ((value & 0xFF) == 0) return LIBUSB_ERROR_PIPE;
            latency_ = value & 0xFF;
            return 0;
        default:
            return LIBUSB_ERROR_PIPE;
    }
}

std::uint8_t Ft232r::modemStatus() const { return std::uint8_t(kStatusBase | kDsr | (ctsLow_ ? 0 : kCts)); }

void Ft232r::pullFromStation() {
    if (!station_) return;
    std::uint8_t byte = 0;
    while (station_->hostRead(byte)) {
        if (lineMatchesStation()) toHost_.push_back(byte);
        else ++garbled_;
    }
}

int Ft232r::bulkIn(std::uint8_t* data, int length, int& transferred, unsigned timeoutMs) {
    transferred = 0;
    timeouts_.push_back(timeoutMs);
    if (!present()) return LIBUSB_ERROR_NO_DEVICE;
    if (failBulkIn_ != 0 && failBulkInAfter_-- == 0) {
        const int code = failBulkIn_;
        failBulkIn_ = 0;
        return code;
    }
    if (length < 2) return LIBUSB_ERROR_OVERFLOW;
    pullFromStation();
    // Packets of at most 64 bytes, each led by the two status bytes; a short packet ends
    // the transfer, so a chip with nothing to say sends just the status.
    for (;;) {
        const int room = std::min(kPacketSize, length - transferred);
        if (room < 2) break;
        data[transferred++] = modemStatus();
        data[transferred++] = kLineIdle;
        const int n = std::min<int>(room - 2, int(toHost_.size()));
        for (int i = 0; i < n; ++i) {
            data[transferred++] = toHost_.front();
            toHost_.pop_front();
        }
        bytesToHost_ += std::uint64_t(n);
        if (n + 2 < kPacketSize) break;
    }
    return 0;
}

int Ft232r::bulkOut(const std::uint8_t* data, int length, int& transferred, unsigned timeoutMs) {
    transferred = 0;
    timeouts_.push_back(timeoutMs);
    if (!present()) return LIBUSB_ERROR_NO_DEVICE;
    int allowed = ctsLow_ ? 0 : length;
    if (shortWrite_ >= 0) {
        allowed = std::min(allowed, shortWrite_);
        shortWrite_ = -1;
    }
    for (int i = 0; i < allowed; ++i) {
        if (!lineMatchesStation()) ++garbled_;
        else if (station_) station_->hostWrite(data[i]);
        ++transferred;
    }
    bytesToLine_ += std::uint64_t(transferred);
    // libusb reports a transfer that could not finish in time as a timeout, with the
    // part that went out in the count.
    return transferred < length ? LIBUSB_ERROR_TIMEOUT : 0;
}

}  // namespace usbstandin

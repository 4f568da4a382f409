// The libusb-1.0 functions that libftdi1 calls, played against the stand-in bus: enough of
// libusb for libftdi to list, open, configure and talk to an FT232R. Linked into tests only,
// in place of the system's libusb. Transfers are synchronous; the asynchronous calls (which
// libftdi uses only for its streaming and submit functions) are refused as unsupported.
#include "tests/usb/usb_bus.h"

#include <libusb.h>

#include <cstdlib>
#include <cstring>
#include <new>

using usbstandin::Bus;
using usbstandin::Ft232r;

struct libusb_context {
    Bus* bus;
};

struct libusb_device {
    Bus* bus;
    std::shared_ptr<Ft232r> chip;
    std::uint64_t generation;  // the appearance of the chip this device stands for
    int refs;
};

struct libusb_device_handle {
    libusb_device* dev;
    bool claimed = false;
    bool autoDetach = false;
    bool detachedOnClaim = false;
};

namespace {

constexpr std::uint8_t kManufacturerIndex = 1;
constexpr std::uint8_t kProductIndex = 2;
constexpr std::uint8_t kSerialIndex = 3;

bool gone(const libusb_device* dev) { return !dev->chip->present() || dev->chip->generation() != dev->generation; }

// One allocation holding a configuration with its interface, setting and two endpoints.
struct OwnedConfig {
    libusb_config_descriptor config;
    Bus* bus;
    libusb_interface interface;
    libusb_interface_descriptor setting;
    libusb_endpoint_descriptor endpoints[2];
};

void rebindIfWeDetached(libusb_device_handle* h) {
    if (h->detachedOnClaim) h->dev->chip->kernelDriverBound = true;
    h->detachedOnClaim = false;
}

void releaseClaim(libusb_device_handle* h) {
    if (!h->claimed) return;
    h->claimed = false;
    const int i = h->dev->bus->indexOf(*h->dev->chip);
    if (i >= 0 && h->dev->bus->claimHolders[std::size_t(i)] == h) h->dev->bus->claimHolders[std::size_t(i)] = nullptr;
    rebindIfWeDetached(h);
}

}  // namespace

extern "C" {

int LIBUSB_CALL libusb_init(libusb_context** ctx) {
    // libftdi always asks for a context of its own.
    if (!ctx) return LIBUSB_ERROR_NOT_SUPPORTED;
    *ctx = new libusb_context{Bus::current()};
    if ((*ctx)->bus) ++(*ctx)->bus->contexts;
    return 0;
}

void LIBUSB_CALL libusb_exit(libusb_context* ctx) {
    if (!ctx) return;
    if (ctx->bus) --ctx->bus->contexts;
    delete ctx;
}

ssize_t LIBUSB_CALL libusb_get_device_list(libusb_context* ctx, libusb_device*** list) {
    Bus* bus = ctx ? ctx->bus : nullptr;
    std::vector<libusb_device*> found;
    if (bus) {
        for (const auto& chip : bus->chips()) {
            if (!chip->present()) continue;
            found.push_back(new libusb_device{bus, chip, chip->generation(), 1});
            ++bus->devices;
        }
    }
    auto** out = new libusb_device*[found.size() + 1];
    for (std::size_t i = 0; i < found.size(); ++i) out[i] = found[i];
    out[found.size()] = nullptr;
    *list = out;
    return ssize_t(found.size());
}

libusb_device* LIBUSB_CALL libusb_ref_device(libusb_device* dev) {
    ++dev->refs;
    return dev;
}

void LIBUSB_CALL libusb_unref_device(libusb_device* dev) {
    if (!dev || --dev->refs > 0) return;
    --dev->bus->devices;
    delete dev;
}

void LIBUSB_CALL libusb_free_device_list(libusb_device** list, int unref_devices) {
    if (!list) return;
    if (unref_devices)
        for (libusb_device** d = list; *d; ++d) libusb_unref_device(*d);
    delete[] list;
}

int LIBUSB_CALL libusb_get_device_descriptor(libusb_device* dev, libusb_device_descriptor* desc) {
    const Ft232r::Identity& id = dev->chip->identity();
    std::memset(desc, 0, sizeof *desc);
    desc->bLength = LIBUSB_DT_DEVICE_SIZE;
    desc->bDescriptorType = LIBUSB_DT_DEVICE;
    desc->bcdUSB = 0x0200;
    desc->bMaxPacketSize0 = 8;
    desc->idVendor = id.vendor;
    desc->idProduct = id.product;
    desc->bcdDevice = id.bcdDevice;
    desc->iManufacturer = kManufacturerIndex;
    desc->iProduct = kProductIndex;
    desc->iSerialNumber = id.serial.empty() ? 0 : kSerialIndex;
    desc->bNumConfigurations = 1;
    return 0;
}

int LIBUSB_CALL libusb_get_config_descriptor(libusb_device* dev, std::uint8_t config_index,
                                             libusb_config_descriptor** config) {
    if (config_index != 0) return LIBUSB_ERROR_NOT_FOUND;
    auto* c = new (std::nothrow) OwnedConfig{};
    if (!c) return LIBUSB_ERROR_NO_MEM;
    c->bus = dev->bus;
    for (int i = 0; i < 2; ++i) {
        libusb_endpoint_descriptor& e = c->endpoints[i];
        e.bLength = LIBUSB_DT_ENDPOINT_SIZE;
        e.bDescriptorType = LIBUSB_DT_ENDPOINT;
        e.bEndpointAddress = i == 0 ? Ft232r::kEndpointIn : Ft232r::kEndpointOut;
        e.bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
        e.wMaxPacketSize = Ft232r::kPacketSize;
    }
    c->setting.bLength = LIBUSB_DT_INTERFACE_SIZE;
    c->setting.bDescriptorType = LIBUSB_DT_INTERFACE;
    c->setting.bNumEndpoints = 2;
    c->setting.bInterfaceClass = LIBUSB_CLASS_VENDOR_SPEC;
    c->setting.iInterface = kProductIndex;
    c->setting.endpoint = c->endpoints;
    c->interface.altsetting = &c->setting;
    c->interface.num_altsetting = 1;
    c->config.bLength = LIBUSB_DT_CONFIG_SIZE;
    c->config.bDescriptorType = LIBUSB_DT_CONFIG;
    c->config.wTotalLength = LIBUSB_DT_CONFIG_SIZE + LIBUSB_DT_INTERFACE_SIZE + 2 * LIBUSB_DT_ENDPOINT_SIZE;
    c->config.bNumInterfaces = 1;
    c->config.bConfigurationValue = 1;
    c->config.bmAttributes = 0xA0;
    c->config.MaxPower = 45;  // 90 mA
    c->config.interface = &c->interface;
    ++dev->bus->configDescriptors;
    *config = &c->config;
    return 0;
}

void LIBUSB_CALL libusb_free_config_descriptor(libusb_config_descriptor* config) {
    if (!config) return;
    auto* owned = reinterpret_cast<OwnedConfig*>(config);  // config is its first member
    --owned->bus->configDescriptors;
    delete owned;
}

std::uint8_t LIBUSB_CALL libusb_get_bus_number(libusb_device* dev) { return dev->chip->identity().bus; }

std::uint8_t LIBUSB_CALL libusb_get_device_address(libusb_device* dev) {
    return std::uint8_t(dev->chip->identity().address + dev->generation - 1);
}

int LIBUSB_CALL libusb_open(libusb_device* dev, libusb_device_handle** handle) {
    if (gone(dev)) return LIBUSB_ERROR_NO_DEVICE;
    if (dev->chip->accessDenied) return LIBUSB_ERROR_ACCESS;
    ++dev->bus->opens[std::size_t(dev->bus->indexOf(*dev->chip))];
    *handle = new libusb_device_handle{libusb_ref_device(dev)};
    ++dev->bus->handles;
    return 0;
}

void LIBUSB_CALL libusb_close(libusb_device_handle* h) {
    if (!h) return;
    releaseClaim(h);  // closing the device node drops its claims
    Bus* bus = h->dev->bus;
    libusb_unref_device(h->dev);
    --bus->handles;
    delete h;
}

int LIBUSB_CALL libusb_get_configuration(libusb_device_handle* h, int* config) {
    if (gone(h->dev)) return LIBUSB_ERROR_NO_DEVICE;
    *config = 1;
    return 0;
}

int LIBUSB_CALL libusb_set_configuration(libusb_device_handle* h, int configuration) {
    if (gone(h->dev)) return LIBUSB_ERROR_NO_DEVICE;
    return configuration == 1 ? 0 : LIBUSB_ERROR_NOT_FOUND;
}

int LIBUSB_CALL libusb_set_auto_detach_kernel_driver(libusb_device_handle* h, int enable) {
    h->autoDetach = enable != 0;
    return 0;
}

int LIBUSB_CALL libusb_detach_kernel_driver(libusb_device_handle* h, int interface_number) {
    if (gone(h->dev)) return LIBUSB_ERROR_NO_DEVICE;
    if (interface_number != 0) return LIBUSB_ERROR_NOT_FOUND;
    if (!h->dev->chip->kernelDriverBound) return LIBUSB_ERROR_NOT_FOUND;
    h->dev->chip->kernelDriverBound = false;
    return 0;
}

int LIBUSB_CALL libusb_claim_interface(libusb_device_handle* h, int interface_number) {
    if (gone(h->dev)) return LIBUSB_ERROR_NO_DEVICE;
    if (interface_number != 0) return LIBUSB_ERROR_NOT_FOUND;
    if (h->claimed) return 0;
    Bus* bus = h->dev->bus;
    const std::size_t i = std::size_t(bus->indexOf(*h->dev->chip));
    if (bus->claimHolders[i] != nullptr) return LIBUSB_ERROR_BUSY;  // another program has it
    Ft232r& chip = *h->dev->chip;
    if (chip.kernelDriverBound) {
        if (!h->autoDetach) return LIBUSB_ERROR_BUSY;
        chip.kernelDriverBound = false;
        h->detachedOnClaim = true;
    }
    h->claimed = true;
    bus->claimHolders[i] = h;
    ++bus->claims[i];
    return 0;
}

int LIBUSB_CALL libusb_release_interface(libusb_device_handle* h, int interface_number) {
    if (interface_number != 0 || !h->claimed) return LIBUSB_ERROR_NOT_FOUND;
    const bool wasGone = gone(h->dev);
    releaseClaim(h);
    return wasGone ? LIBUSB_ERROR_NO_DEVICE : 0;
}

int LIBUSB_CALL libusb_control_transfer(libusb_device_handle* h, std::uint8_t request_type, std::uint8_t bRequest,
                                        std::uint16_t wValue, std::uint16_t wIndex, unsigned char* data,
                                        std::uint16_t wLength, unsigned int timeout) {
    (void)data;  // the chip takes only requests without a data stage
    if (gone(h->dev)) return LIBUSB_ERROR_NO_DEVICE;
    return h->dev->chip->control(request_type, bRequest, wValue, wIndex, wLength, timeout);
}

int LIBUSB_CALL libusb_bulk_transfer(libusb_device_handle* h, unsigned char endpoint, unsigned char* data,
                                     int length, int* transferred, unsigned int timeout) {
    int count = 0;
    int result = LIBUSB_ERROR_NO_DEVICE;
    if (!gone(h->dev)) {
        if (!h->claimed) result = LIBUSB_ERROR_NOT_FOUND;
        else if (endpoint == Ft232r::kEndpointIn) result = h->dev->chip->bulkIn(data, length, count, timeout);
        else if (endpoint == Ft232r::kEndpointOut) result = h->dev->chip->bulkOut(data, length, count, timeout);
        else result = LIBUSB_ERROR_PIPE;
    }
    if (transferred) *transferred = count;
    return result;
}

int LIBUSB_CALL libusb_get_string_descriptor_ascii(libusb_device_handle* h, std::uint8_t desc_index,
                                                   unsigned char* data, int length) {
    if (gone(h->dev)) return LIBUSB_ERROR_NO_DEVICE;
    const Ft232r::Identity& id = h->dev->chip->identity();
    const std::string* text = nullptr;
    if (desc_index == kManufacturerIndex) text = &id.manufacturer;
    else if (desc_index == kProductIndex) text = &id.description;
    else if (desc_index == kSerialIndex && !id.serial.empty()) text = &id.serial;
    if (!text) return LIBUSB_ERROR_PIPE;
    if (length <= 0) return LIBUSB_ERROR_INVALID_PARAM;
    const int n = std::min<int>(length - 1, int(text->size()));
    std::memcpy(data, text->data(), std::size_t(n));
    data[n] = 0;
    return n;
}

libusb_transfer* LIBUSB_CALL libusb_alloc_transfer(int iso_packets) {
    if (iso_packets < 0) return nullptr;
    const std::size_t size = sizeof(libusb_transfer) + std::size_t(iso_packets) * sizeof(libusb_iso_packet_descriptor);
    auto* t = static_cast<libusb_transfer*>(std::calloc(1, size));
    if (t) t->num_iso_packets = iso_packets;
    return t;
}

void LIBUSB_CALL libusb_free_transfer(libusb_transfer* transfer) {
    if (!transfer) return;
    if (transfer->flags & LIBUSB_TRANSFER_FREE_BUFFER) std::free(transfer->buffer);
    std::free(transfer);
}

int LIBUSB_CALL libusb_submit_transfer(libusb_transfer*) { return LIBUSB_ERROR_NOT_SUPPORTED; }

int LIBUSB_CALL libusb_cancel_transfer(libusb_transfer*) { return LIBUSB_ERROR_NOT_FOUND; }

int LIBUSB_CALL libusb_handle_events_timeout(libusb_context*, struct timeval*) { return LIBUSB_ERROR_NOT_SUPPORTED; }

int LIBUSB_CALL libusb_handle_events_timeout_completed(libusb_context*, struct timeval*, int*) {
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

}  // extern "C"

#pragma once
#include "tests/usb/ft232r.h"

#include <memory>
#include <vector>

namespace usbstandin {

// The USB bus that the libusb stand-in shows to libftdi: the chips plugged into it and a
// count of everything libusb hands out, so a test can see that all of it came back.
// libftdi makes its own libusb context, so the stand-in cannot be given the bus through a
// call: the bus a test builds is the one in use for its lifetime (one at a time).
class Bus {
public:
    Bus();
    ~Bus();
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    // The bus in use, or nullptr: then libusb sees an empty bus.
    static Bus* current();

    Ft232r& plug(Ft232r::Identity identity, simulator::SimStation* station = nullptr);
    const std::vector<std::shared_ptr<Ft232r>>& chips() const { return chips_; }

    // Live objects handed out by the stand-in.
    int contexts = 0;
    int devices = 0;
    int handles = 0;
    int configDescriptors = 0;
    // libusb_open calls that reached a chip, and interface claims, per chip index.
    std::vector<int> opens;
    std::vector<int> claims;
    // The libusb handle holding each chip's interface, or nullptr.
    std::vector<const void*> claimHolders;

    int indexOf(const Ft232r& chip) const;

private:
    std::vector<std::shared_ptr<Ft232r>> chips_;
};

}  // namespace usbstandin

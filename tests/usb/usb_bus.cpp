#include "tests/usb/usb_bus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace usbstandin {

namespace {
Bus* installed = nullptr;
}  // namespace

Bus::Bus() {
    if (installed) {
        std::fprintf(stderr, "usb stand-in: a second bus was built while another is in use\n");
        std::abort();
    }
    installed = this;
}

Bus::~Bus() {
    installed = nullptr;
    // Everything libusb handed out must have been given back by now.
    if (contexts || devices || handles || configDescriptors)
        ADD_FAILURE() << "usb stand-in: still live at the end: " << contexts << " contexts, " << devices
                      << " devices, " << handles << " handles, " << configDescriptors << " config descriptors";
}

Bus* Bus::current() { return installed; }

Ft232r& Bus::plug(Ft232r::Identity identity, simulator::SimStation* station) {
    chips_.push_back(std::make_shared<Ft232r>(std::move(identity), station));
    opens.push_back(0);
    claims.push_back(0);
    claimHolders.push_back(nullptr);
    return *chips_.back();
}

int Bus::indexOf(const Ft232r& chip) const {
    for (std::size_t i = 0; i < chips_.size(); ++i)
        if (chips_[i].get() == &chip) return int(i);
    return -1;
}

}  // namespace usbstandin

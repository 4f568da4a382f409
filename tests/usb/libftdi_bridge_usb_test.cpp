// LibFtdiBridge through Debian's libftdi1 and the libusb stand-in: what libftdi puts on
// the wire for the station's setup, the queue-status emulation, and every way USB fails.
#include "platform/libftdi_bridge.h"
#include "platform/virtual_clock.h"
#include "simulator/sim_station.h"
#include "tests/usb/usb_bus.h"

#include <QStringList>

#include <libusb.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using platform::BridgeHandle;
using platform::BridgeNotice;
using platform::LibFtdiBridge;
using usbstandin::Bus;
using usbstandin::ControlRequest;
using usbstandin::Ft232r;

namespace {

Ft232r::Identity chip(std::uint16_t product, std::string serial, std::uint8_t address) {
    Ft232r::Identity id;
    id.product = product;
    id.serial = std::move(serial);
    id.address = address;
    if (product != 0x6001) id.bcdDevice = 0x0700;  // FT2232H and friends
    return id;
}

// The station's setup, in the order and with the values the port setup uses.
bool configure(LibFtdiBridge& bridge, BridgeHandle h) {
    return bridge.setBaudRate(h, 115200) == 0 && bridge.setDataCharacteristics(h, 8, 0, 0) == 0 &&
           bridge.setFlowControl(h, 0x0100, 0, 0) == 0 && bridge.purge(h, platform::kPurgeTx) == 0 &&
           bridge.purge(h, platform::kPurgeRx) == 0 && bridge.setLatencyTimer(h, 1) == 0;
}

struct UsbBridge : ::testing::Test {
    platform::VirtualClock clock;
    Bus bus;  // before the bridges: it checks at the end that they gave everything back
    std::vector<BridgeNotice> notices;

    std::unique_ptr<LibFtdiBridge> makeBridge(const QString& serial = {}) {
        auto b = std::make_unique<LibFtdiBridge>(serial);
        b->setNoticeHandler([this](const BridgeNotice& n) { notices.push_back(n); });
        return b;
    }
    QStringList noticeTexts() const {
        QStringList l;
        for (const auto& n : notices) l << n.text;
        return l;
    }
    std::vector<std::uint8_t> drain(LibFtdiBridge& b, BridgeHandle h, std::size_t n) {
        std::vector<std::uint8_t> out(n);
        std::uint32_t got = 0;
        EXPECT_EQ(b.read(h, out.data(), std::uint32_t(n), got), 0);
        out.resize(got);
        return out;
    }
};

std::vector<std::uint8_t> counting(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = std::uint8_t(i * 7 + 3);
    return v;
}

}  // namespace

TEST_F(UsbBridge, OpenAndSetupSendTheseRequestsToAnFt232r) {
    simulator::SimStation station(clock);
    Ft232r& ft = bus.plug(chip(0x6001, "A9300KR1", 4), &station);
    auto bridge = makeBridge();
    BridgeHandle h = 0;
    ASSERT_EQ(bridge->open(0, h), 0) << noticeTexts().join("\n").toStdString();
    ASSERT_TRUE(configure(*bridge, h));

    // bmRequestType, bRequest, wValue, wIndex: what libftdi put on the wire.
    const std::vector<std::array<int, 4>> expected = {
        {0x40, 0x00, 0x0000, 0x0001},  // open: reset the serial engine
        {0x40, 0x03, 0x4138, 0x0000},  // open: 9600 baud (divisor 312.5)
        {0x40, 0x03, 0x001A, 0x0000},  // 115200 baud (divisor 26)
        {0x40, 0x04, 0x0008, 0x0001},  // 8 data bits, no parity, one stop bit
        {0x40, 0x02, 0x0000, 0x0101},  // RTS/CTS handshake (0x0100) on interface A
        {0x40, 0x00, 0x0001, 0x0001},  // purge what waits for the line (transmit)
        {0x40, 0x00, 0x0002, 0x0001},  // purge what waits for the host (receive)
        {0x40, 0x09, 0x0001, 0x0001},  // latency timer 1 ms
    };
    std::vector<std::array<int, 4>> sent;
    for (const ControlRequest& r : ft.controls()) sent.push_back({r.requestType, r.request, r.value, r.index});
    EXPECT_EQ(sent, expected);

    // ... and what the chip made of them.
    EXPECT_NEAR(ft.baudRate(), 115200, 115200 * 0.03);
    EXPECT_EQ(ft.dataBits(), 8);
    EXPECT_EQ(ft.parity(), 0);
    EXPECT_EQ(ft.stopBits(), 0);
    EXPECT_EQ(ft.flowControl(), 1);
    EXPECT_EQ(ft.latencyMs(), 1);
    EXPECT_EQ(ft.outputPurges(), 1);
    EXPECT_EQ(ft.inputPurges(), 1);
    EXPECT_TRUE(ft.lineMatchesStation());
    // The short timeouts were in force from the open's first request on.
    for (unsigned t : ft.transferTimeouts()) EXPECT_LE(t, unsigned(LibFtdiBridge::kWriteTimeoutMs));
    EXPECT_THAT(noticeTexts(), ::testing::ElementsAre("opened FTDI device 0403:6001 at bus 1 address 4, serial A9300KR1"));
}

TEST_F(UsbBridge, TheSerialDriverIsLentAndGivenBackAndEverythingIsFreed) {
    Ft232r& ft = bus.plug(chip(0x6001, "A9300KR1", 4));
    auto bridge = makeBridge();
    BridgeHandle h = 0;
    ASSERT_EQ(bridge->open(0, h), 0);
    EXPECT_FALSE(ft.kernelDriverBound);
    EXPECT_EQ(bus.handles, 1);
    EXPECT_EQ(bridge->close(h), 0);
    EXPECT_TRUE(ft.kernelDriverBound);
    EXPECT_EQ(bus.handles, 0);
    EXPECT_EQ(bus.devices, 0);
    EXPECT_EQ(bus.contexts, 0);
    EXPECT_NE(bridge->close(h), 0);  // closed already
}

TEST_F(UsbBridge, QueueStatusCountsEverythingThatArrivedAndReadKeepsItsOrder) {
    // Sizes around the 62 data bytes of a 64-byte packet and past one libftdi chunk.
    for (std::size_t size : {0u, 1u, 61u, 62u, 63u, 124u, 150u, 1000u}) {
        SCOPED_TRACE(size);
        Ft232r& ft = bus.plug(chip(0x6001, "Q" + std::to_string(size), std::uint8_t(10 + size % 100)));
        auto bridge = makeBridge(QString::fromStdString("Q" + std::to_string(size)));
        BridgeHandle h = 0;
        ASSERT_EQ(bridge->open(0, h), 0);
        ASSERT_TRUE(configure(*bridge, h));
        ft.receiveFromLine(counting(size));
        std::uint32_t waiting = 99;
        ASSERT_EQ(bridge->getQueueStatus(h, waiting), 0);
        EXPECT_EQ(waiting, size);
        EXPECT_EQ(drain(*bridge, h, size + 5), counting(size));
        ASSERT_EQ(bridge->getQueueStatus(h, waiting), 0);
        EXPECT_EQ(waiting, 0u);
        EXPECT_EQ(bridge->close(h), 0);
        ft.remove();
    }
}

TEST_F(UsbBridge, ReceivePurgeDropsWhatCameBeforeItOnly) {
    Ft232r& ft = bus.plug(chip(0x6001, "A9300KR1", 4));
    auto bridge = makeBridge();
    BridgeHandle h = 0;
    ASSERT_EQ(bridge->open(0, h), 0);
    ASSERT_TRUE(configure(*bridge, h));
    ft.receiveFromLine({1, 2, 3});
    std::uint32_t waiting = 0;
    ASSERT_EQ(bridge->getQueueStatus(h, waiting), 0);
    ft.receiveFromLine({4, 5});  // still in the chip
    ASSERT_EQ(bridge->purge(h, platform::kPurgeRx), 0);
    ASSERT_EQ(bridge->getQueueStatus(h, waiting), 0);
    EXPECT_EQ(waiting, 0u);
    ft.receiveFromLine({6});
    EXPECT_EQ(drain(*bridge, h, 4), std::vector<std::uint8_t>{6});
    // The transmit purge reaches the chip as its own request and leaves received bytes alone.
    ft.receiveFromLine({7});
    ASSERT_EQ(bridge->getQueueStatus(h, waiting), 0);
    ASSERT_EQ(bridge->purge(h, platform::kPurgeTx), 0);
    EXPECT_EQ(drain(*bridge, h, 4), std::vector<std::uint8_t>{7});
    EXPECT_EQ(ft.outputPurges(), 2);
}

TEST_F(UsbBridge, BytesLibftdiHadBufferedSurviveAFailedTransferAfterThem) {
    Ft232r& ft = bus.plug(chip(0x6001, "A9300KR1", 4));
    auto bridge = makeBridge();
    BridgeHandle h = 0;
    ASSERT_EQ(bridge->open(0, h), 0);
    ASSERT_TRUE(configure(*bridge, h));
    // 150 bytes come in one transfer; libftdi hands them out 64 at a time and keeps the
    // rest; the next transfer stalls.
    ft.receiveFromLine(counting(150));
    ft.failBulkIn(LIBUSB_ERROR_PIPE, 1);
    std::uint32_t waiting = 0;
    EXPECT_NE(bridge->getQueueStatus(h, waiting), 0);
    EXPECT_EQ(waiting, 150u);
    EXPECT_EQ(drain(*bridge, h, 150), counting(150));
}

TEST_F(UsbBridge, EveryWayUsbFailsIsAFailedCallAndNothingIsLeftBehind) {
    struct Case {
        const char* name;
        std::function<void(Ft232r&)> arrange;
        std::function<bool(LibFtdiBridge&, BridgeHandle)> fails;  // true when the call failed
        bool stillUsable;  // the next queue status works again
    };
    auto queueStatus = [](LibFtdiBridge& b, BridgeHandle h) {
        std::uint32_t n = 0;
        return b.getQueueStatus(h, n) != 0;
    };
    auto writeOne = [](LibFtdiBridge& b, BridgeHandle h) {
        const std::uint8_t byte = 0xAA;
        std::uint32_t written = 9;
        const bool failed = b.write(h, &byte, 1, written) != 0;
        return failed && written == 0;
    };
    const std::vector<Case> cases = {
        {"device gone mid-read", [](Ft232r& f) { f.remove(); }, queueStatus, false},
        {"device gone before a read", [](Ft232r& f) { f.remove(); },
         [](LibFtdiBridge& b, BridgeHandle h) {
             std::uint8_t byte = 0;
             std::uint32_t got = 9;
             return b.read(h, &byte, 1, got) != 0 && got == 0;
         },
         false},
        {"device gone before a write", [](Ft232r& f) { f.remove(); }, writeOne, false},
        {"stalled bulk transfer", [](Ft232r& f) { f.failBulkIn(LIBUSB_ERROR_PIPE); }, queueStatus, true},
        {"CTS held low: write times out", [](Ft232r& f) { f.holdCts(true); }, writeOne, true},
        {"short write", [](Ft232r& f) { f.shortenNextWrite(2); },
         [](LibFtdiBridge& b, BridgeHandle h) {
             const std::uint8_t frame[4] = {0xAA, 0x02, 0x01, 0x01};
             std::uint32_t written = 9;
             return b.write(h, frame, 4, written) != 0 && written == 0;
         },
         true},
        {"stalled baud request", [](Ft232r& f) { f.failNextControl(3, LIBUSB_ERROR_PIPE); },
         [](LibFtdiBridge& b, BridgeHandle h) { return b.setBaudRate(h, 115200) != 0; }, true},
        {"stalled purge", [](Ft232r& f) { f.failNextControl(0, LIBUSB_ERROR_PIPE); },
         [](LibFtdiBridge& b, BridgeHandle h) { return b.purge(h, platform::kPurgeRx) != 0; }, true},
    };
    int address = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ft232r& ft = bus.plug(chip(0x6001, "F" + std::to_string(address), std::uint8_t(address)));
        auto bridge = makeBridge(QString("F%1").arg(address++));
        BridgeHandle h = 0;
        ASSERT_EQ(bridge->open(0, h), 0);
        ASSERT_TRUE(configure(*bridge, h));
        c.arrange(ft);
        EXPECT_TRUE(c.fails(*bridge, h));
        ft.holdCts(false);
        std::uint32_t n = 0;
        EXPECT_EQ(bridge->getQueueStatus(h, n) == 0, c.stillUsable);
        // A device that went away cannot let go of its interface: close says so.
        EXPECT_EQ(bridge->close(h) == 0, c.stillUsable);
        EXPECT_EQ(bus.handles, 0);
        ft.remove();
    }
}

TEST_F(UsbBridge, ARemovedDeviceComesBackUnderANewAddress) {
    Ft232r& ft = bus.plug(chip(0x6001, "A9300KR1", 4));
    auto bridge = makeBridge();
    BridgeHandle h = 0;
    ASSERT_EQ(bridge->open(0, h), 0);
    ft.receiveFromLine({1});
    std::uint32_t n = 0;
    ASSERT_EQ(bridge->getQueueStatus(h, n), 0);
    ft.remove();
    EXPECT_NE(bridge->getQueueStatus(h, n), 0);
    EXPECT_NE(bridge->open(0, h), 0);
    ft.attach();
    ASSERT_EQ(bridge->open(0, h), 0);
    EXPECT_TRUE(configure(*bridge, h));
    EXPECT_THAT(noticeTexts(), ::testing::ElementsAre("opened FTDI device 0403:6001 at bus 1 address 4, serial A9300KR1",
                                                      "no FTDI device is on the USB bus",
                                                      "opened FTDI device 0403:6001 at bus 1 address 5, serial A9300KR1"));
}

TEST_F(UsbBridge, OpenFailuresCarryTheirReason) {
    auto bridge = makeBridge();
    BridgeHandle h = 0;
    EXPECT_NE(bridge->open(0, h), 0);
    EXPECT_NE(bridge->open(0, h), 0);  // said once only
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].kind, BridgeNotice::Kind::Failure);
    EXPECT_EQ(notices[0].text, "no FTDI device is on the USB bus");

    // Access denied: libftdi only says libusb_open() failed; the bridge finds out why.
    Ft232r& ft = bus.plug(chip(0x6001, "A9300KR1", 7));
    ft.accessDenied = true;
    EXPECT_NE(bridge->open(0, h), 0);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1].kind, BridgeNotice::Kind::AccessDenied);
    EXPECT_EQ(notices[1].text, "access to FTDI device 0403:6001 at bus 1 address 7 (/dev/bus/usb/001/007) was denied: "
                               "libusb_open() failed (-4)");

    // Held by another program: libftdi's own reason.
    ft.accessDenied = false;
    auto other = makeBridge();
    BridgeHandle otherHandle = 0;
    ASSERT_EQ(other->open(0, otherHandle), 0);
    EXPECT_NE(bridge->open(0, h), 0);
    EXPECT_EQ(notices.back().kind, BridgeNotice::Kind::Failure);
    EXPECT_THAT(notices.back().text.toStdString(), ::testing::HasSubstr("unable to claim usb device"));
    EXPECT_EQ(other->close(otherHandle), 0);
    EXPECT_EQ(bus.handles, 0);
}

TEST_F(UsbBridge, TheStationsChipComesFirstAndASerialNumberPicksOne) {
    struct Case {
        const char* name;
        std::vector<Ft232r::Identity> plugged;
        QString wanted;
        int opened;  // index into plugged, -1 for none
    };
    const std::vector<Case> cases = {
        {"FT2232H listed first", {chip(0x6010, "DUAL1", 2), chip(0x6001, "A9300KR1", 3)}, {}, 1},
        {"only another FTDI chip", {chip(0x6014, "H1", 2)}, {}, 0},
        {"two FT232R: the first", {chip(0x6001, "ONE", 2), chip(0x6001, "TWO", 3)}, {}, 0},
        {"two FT232R: by serial", {chip(0x6001, "ONE", 2), chip(0x6001, "TWO", 3)}, "TWO", 1},
        {"serial of a non-R chip", {chip(0x6001, "ONE", 2), chip(0x6010, "DUAL1", 3)}, "DUAL1", 1},
        {"serial not there", {chip(0x6001, "ONE", 2)}, "TWO", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& ft : bus.chips()) ft->remove();
        std::vector<Ft232r*> chips;
        for (const auto& id : c.plugged) chips.push_back(&bus.plug(id));
        auto bridge = makeBridge(c.wanted);
        BridgeHandle h = 0;
        const bool opened = bridge->open(0, h) == 0;
        EXPECT_EQ(opened, c.opened >= 0);
        for (std::size_t i = 0; i < chips.size(); ++i)
            EXPECT_EQ(!chips[i]->kernelDriverBound, int(i) == c.opened) << "chip " << i;
        if (opened) EXPECT_EQ(bridge->close(h), 0);
        else EXPECT_THAT(noticeTexts().last().toStdString(), ::testing::HasSubstr("no FTDI device with serial number TWO"));
    }
}

TEST_F(UsbBridge, AnAdapterThatNeverAnsweredIsNotTakenEveryTime) {
    bus.plug(chip(0x6001, "CABLE1", 4));  // a serial cable on something else
    auto bridge = makeBridge();
    BridgeHandle h = 0;
    int opened = 0;
    for (int attempt = 0; attempt < 30; ++attempt)
        if (bridge->open(0, h) == 0) ++opened, bridge->close(h);
    EXPECT_EQ(opened, 3);  // attempts 1, 11 and 21
    EXPECT_EQ(bus.claims[0], 3);

    // A device that did answer keeps being opened every time.
    Ft232r& station = bus.plug(chip(0x6001, "A9300KR1", 9));
    ASSERT_EQ(bridge->open(0, h), 0);  // the new one, the cable is passed over
    station.receiveFromLine({0x55});
    std::uint32_t n = 0;
    ASSERT_EQ(bridge->getQueueStatus(h, n), 0);
    ASSERT_EQ(bridge->close(h), 0);
    for (int attempt = 0; attempt < 5; ++attempt) {
        ASSERT_EQ(bridge->open(0, h), 0);
        ASSERT_EQ(bridge->close(h), 0);
    }
    EXPECT_EQ(bus.claims[1], 6);
    EXPECT_EQ(bus.claims[0], 3);

    // With a serial number asked for, the operator's choice is opened every time.
    auto chosen = makeBridge("CABLE1");
    for (int attempt = 0; attempt < 4; ++attempt) {
        ASSERT_EQ(chosen->open(0, h), 0);
        ASSERT_EQ(chosen->close(h), 0);
    }
    EXPECT_EQ(bus.claims[0], 7);
}

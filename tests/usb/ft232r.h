#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace simulator {
class SimStation;
}

namespace usbstandin {

// One vendor control request as the chip received it.
struct ControlRequest {
    std::uint8_t requestType;
    std::uint8_t request;
    std::uint16_t value;
    std::uint16_t index;
    std::uint16_t length;
    unsigned timeoutMs;
};

// An FT232R as libusb sees it: its descriptors, the vendor requests of the serial engine
// and the two bulk endpoints, whose IN packets start with two modem-status bytes. Behind it
// sits either a simulated station or nothing (a serial adapter with no station on it).
// The chip forwards bytes only while its line settings match the station's 115200 8N1;
// otherwise what crosses the line is garbage and is counted, not delivered.
class Ft232r {
public:
    struct Identity {
        std::uint16_t vendor = 0x0403;
        std::uint16_t product = 0x6001;
        std::uint16_t bcdDevice = 0x0600;  // FT232R
        std::uint8_t bus = 1;
        std::uint8_t address = 4;  // of the first enumeration; each replug takes the next one
        std::string manufacturer = "FTDI";
        std::string description = "FT232R USB UART";
        std::string serial = "A9300KR1";
    };
    static constexpr int kPacketSize = 64;
    static constexpr std::uint8_t kEndpointIn = 0x81;
    static constexpr std::uint8_t kEndpointOut = 0x02;

    explicit Ft232r(Identity identity, simulator::SimStation* station = nullptr);

    const Identity& identity() const { return id_; }
    simulator::SimStation* station() const { return station_; }

    // --- the cable ---
    bool present() const;
    // Changes every time the chip appears on the bus again; a handle of an earlier
    // appearance only gets LIBUSB_ERROR_NO_DEVICE.
    std::uint64_t generation() const;
    std::uint8_t address() const;
    void remove() { attached_ = false; }
    void attach();

    // --- what a test arranges ---
    bool accessDenied = false;        // the device node is not ours to open
    bool kernelDriverBound = true;    // the kernel's serial driver holds the interface
    void failNextControl(std::uint8_t request, int libusbError);
    // The bulk IN transfer after `after` more good ones fails with this code.
    void failBulkIn(int libusbError, int after = 0);
    void holdCts(bool low) { ctsLow_ = low; }       // every write times out with nothing sent
    void shortenNextWrite(int bytes) { shortWrite_ = bytes; }  // sends that much, then times out
    // Bytes that arrive from the serial side without a station (an adapter on something else).
    void receiveFromLine(const std::vector<std::uint8_t>& bytes);

    // --- what the chip was told ---
    const std::vector<ControlRequest>& controls() const { return controls_; }
    const std::vector<unsigned>& transferTimeouts() const { return timeouts_; }
    int baudRate() const { return baud_; }
    int dataBits() const { return dataBits_; }
    int parity() const { return parity_; }      // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stopBits() const { return stopBits_; }  // 0 one, 1 one and a half, 2 two
    int flowControl() const { return flow_; }   // high byte of the request index: 1 RTS/CTS
    int latencyMs() const { return latency_; }
    int resets() const { return resets_; }
    int inputPurges() const { return inputPurges_; }    // data on its way to the host dropped
    int outputPurges() const { return outputPurges_; }  // data on its way to the line dropped
    int garbledBytes() const { return garbled_; }
    std::uint64_t bytesToHost() const { return bytesToHost_; }
    std::uint64_t bytesToLine() const { return bytesToLine_; }
    bool lineMatchesStation() const;

    // --- the USB side (called by the libusb stand-in) ---
    int control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                std::uint16_t length, unsigned timeoutMs);
    int bulkIn(std::uint8_t* data, int length, int& transferred, unsigned timeoutMs);
    int bulkOut(const std::uint8_t* data, int length, int& transferred, unsigned timeoutMs);

private:
    void setBaudDivisor(std::uint16_t value, std::uint16_t index);
    void pullFromStation();
    std::uint8_t modemStatus() const;

    Identity id_;
    simulator::SimStation* station_;
    bool attached_ = true;
    std::uint64_t replugs_ = 0;

    std::vector<ControlRequest> controls_;
    std::vector<unsigned> timeouts_;
    int failControlRequest_ = -1;
    int failControlCode_ = 0;
    int failBulkIn_ = 0;
    int failBulkInAfter_ = 0;
    bool ctsLow_ = false;
    int shortWrite_ = -1;

    int baud_ = 9600;
    int dataBits_ = 8;
    int parity_ = 0;
    int stopBits_ = 0;
    int flow_ = 0;
    int latency_ = 16;
    int resets_ = 0;
    int inputPurges_ = 0;
    int outputPurges_ = 0;
    int garbled_ = 0;
    std::uint64_t bytesToHost_ = 0;
    std::uint64_t bytesToLine_ = 0;
    std::deque<std::uint8_t> toHost_;  // received from the line, not yet sent over USB
};

}  // namespace usbstandin

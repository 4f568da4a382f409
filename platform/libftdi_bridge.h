#pragma once
#include "platform/bridge.h"
#include "platform/bridge_notice.h"

#include <QString>

#include <deque>
#include <set>
#include <vector>

struct ftdi_context;
struct ftdi_device_list;
struct libusb_device;

namespace platform {

// The USB bridge on libftdi1.
//
// Which device: with a serial number given, only the FTDI device carrying it; otherwise an
// FT232R (0403:6001, the station's chip) before any other FTDI chip, index 0 being the first
// of them. A device that was opened but closed again without having sent a single byte is
// taken for an adapter on something else: while no other FTDI device is there it is opened
// again only on every tenth attempt, so its serial driver is not taken from it every second.
//
// libftdi has no queue-status call, so received bytes are collected in a local queue that
// queue status fills and read drains.
class LibFtdiBridge final : public Bridge {
public:
    explicit LibFtdiBridge(QString wantedSerial = {});
    ~LibFtdiBridge() override;
    LibFtdiBridge(const LibFtdiBridge&) = delete;
    LibFtdiBridge& operator=(const LibFtdiBridge&) = delete;

    // Receives what the bridge has to say; a notice equal to the previous one is not repeated.
    void setNoticeHandler(BridgeNoticeHandler handler) { notices_ = std::move(handler); }

    BridgeStatus open(int deviceIndex, BridgeHandle& handle) override;
    BridgeStatus close(BridgeHandle handle) override;
    BridgeStatus setBaudRate(BridgeHandle handle, std::uint32_t rate) override;
    BridgeStatus setDataCharacteristics(BridgeHandle handle, std::uint8_t wordLength,
                                        std::uint8_t stopBits, std::uint8_t parity) override;
    BridgeStatus setFlowControl(BridgeHandle handle, std::uint16_t mode, std::uint8_t xon,
                                std::uint8_t xoff) override;
    BridgeStatus purge(BridgeHandle handle, std::uint32_t mask) override;
    BridgeStatus setLatencyTimer(BridgeHandle handle, std::uint8_t milliseconds) override;
    BridgeStatus getQueueStatus(BridgeHandle handle, std::uint32_t& bytesWaiting) override;
    BridgeStatus write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                       std::uint32_t& written) override;
    BridgeStatus read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                      std::uint32_t& got) override;

    // USB timeouts, set as soon as the libftdi context exists (the control transfers of the
    // open itself use them): a device that stops answering holds the window this long at most.
    static constexpr int kReadTimeoutMs = 100;
    static constexpr int kWriteTimeoutMs = 250;
    // An adapter that never answered is opened again on every this many attempts.
    static constexpr int kRetryUnansweredEvery = 10;

private:
    struct Candidate {
        libusb_device* dev = nullptr;
        std::uint16_t vendor = 0;
        std::uint16_t product = 0;
        std::uint8_t bus = 0;
        std::uint8_t address = 0;
        QString serial;
        QString key() const;
        QString name() const;
    };

    bool isOpen(BridgeHandle handle) const;
    BridgeStatus fillQueue();
    void release();
    int closeDevice();  // libftdi's close result
    void notify(BridgeNotice::Kind kind, const QString& text);
    std::vector<Candidate> candidates(ftdi_context* ctx, ftdi_device_list* list);
    const Candidate* choose(const std::vector<Candidate>& found, int deviceIndex);
    void reportOpenFailure(ftdi_context* ctx, const Candidate& c, int result);

    QString wantedSerial_;
    BridgeNoticeHandler notices_;
    QString lastNotice_;

    ftdi_context* ctx_ = nullptr;
    BridgeHandle current_ = 0;
    BridgeHandle nextHandle_ = 1;
    std::deque<std::uint8_t> rxQueue_;

    // The device open now, and whether it has sent anything since it was opened.
    Candidate device_;
    bool answered_ = false;
    std::set<QString> unanswered_;  // devices that were opened and never sent a byte
    std::set<QString> answeredEver_;
    int passedOver_ = 0;            // opens refused since an unanswered device was last tried
};

}  // namespace platform

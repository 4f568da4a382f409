#include "defaults/defaults_uploader.h"

#include "defaults/default_data.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/profile_payload.h"
#include "link/station_profile.h"
#include "link/transaction.h"
#include "platform/clock.h"

namespace defaults {

namespace {
constexpr std::uint8_t kSettingsOpcode = 0x50;
constexpr int kPacingMs = 500;
const QString kUploading = "Uploading ... Please wait";
}  // namespace

DefaultsUploader::DefaultsUploader(core::SharedState& state, platform::Bridge& bridge, platform::Clock& clock,
                                   StatusSink status)
    : state_(state), bridge_(bridge), clock_(clock), status_(std::move(status)) {
    // Both timers are one-shot flags: the tick disables the timer and sets its tag.
    timer1_ = clock_.createTimer(2000, {});
    timer1_->setOnTick([this] {
        timer1_->setEnabled(false);
        timer1_->tag = true;
    });
    timer2_ = clock_.createTimer(kPacingMs, {});
    timer2_->setOnTick([this] {
        timer2_->setEnabled(false);
        timer2_->tag = true;
    });
}

DefaultsUploader::~DefaultsUploader() = default;

// One exchange at a time, whoever started the other one.
bool DefaultsUploader::begin() {
    if (busy_ || state_.TransactionActive) return false;
    busy_ = true;
    state_.TransactionActive = true;
    stationlink::waitForBrokenFrameDropped(state_, clock_);
    return true;
}

void DefaultsUploader::end() {
    busy_ = false;
    state_.TransactionActive = false;
    timer1_->setEnabled(false);
    timer2_->setEnabled(false);
}

bool DefaultsUploader::detect() {
    if (!begin()) return false;
    if (openedByTool_ || state_.PortOpen) {
        if (bridge_.close(state_.DeviceHandle) == 0) state_.PortOpen = false;
        openedByTool_ = false;
    }
    auto failed = [this](const char* text) {
        status_(2, text);
        end();
        return false;
    };
    if (bridge_.open(0, state_.DeviceHandle) != 0) {
        status_(2, "Port Open Failed");
        status_(1, "KR-9300 Status: Offline");
        end();
        return false;
    }
    state_.PortOpen = true;
    openedByTool_ = true;
    const platform::BridgeHandle h = state_.DeviceHandle;
    std::uint32_t waiting = 0;
    if (bridge_.getQueueStatus(h, waiting) != 0) return failed("Queue Error");
    if (bridge_.setBaudRate(h, 115200) != 0) return failed("BaudRate Failed");
    if (bridge_.setDataCharacteristics(h, 8, 0, 0) != 0) return failed("Parameters set Failed");
    if (bridge_.setFlowControl(h, 0x0100, 0, 0) != 0) return failed("Flow set Failed");
    if (bridge_.purge(h, platform::kPurgeTx) != 0) return failed("Clear Tx Buffer Failed");
    if (bridge_.purge(h, platform::kPurgeRx) != 0) return failed("Clear Rx Buffer Failed");
    status_(1, "KR-9300 Status: Online");
    end();
    return true;
}

bool DefaultsUploader::writeByte(std::uint8_t byte) {
    std::uint32_t written = 0;
    if (bridge_.write(state_.DeviceHandle, &byte, 1, written) == 0 && written == 1) return true;
    stationlink::noteBrokenFrame(state_, clock_);
    return false;
}

void DefaultsUploader::pacingWait(int ms) {
    timer2_->setInterval(ms);
    timer2_->tag = false;
    timer2_->setEnabled(true);
    while (!timer2_->tag) clock_.waitNext(ms);
}

void DefaultsUploader::progress(int sent, int total) {
    status_(2, kUploading + QString("  byte %1 of %2").arg(sent).arg(total));
}

// Sends bytes from index `from` on, each followed by the pacing wait. Index 0..3 is the
// header; the rest is payload byte index - 4.
bool DefaultsUploader::sendPaced(const std::vector<std::uint8_t>& bytes, int from, int total,
                                 const QString& headerError, const std::function<QString(int)>& payloadError) {
    for (int i = from; i < int(bytes.size()); ++i) {
        if (!writeByte(bytes[std::size_t(i)])) {
            status_(2, i < 4 ? headerError : payloadError(i - 4));
            return false;
        }
        pacingWait();
        progress(i + 1, total);
    }
    return true;
}

DefaultsUploader::Wait DefaultsUploader::waitForByte() {
    for (;;) {
        std::uint32_t waiting = 0;
        if (bridge_.getQueueStatus(state_.DeviceHandle, waiting) != 0) return Wait::QueueFailed;
        if (waiting >= 1) return Wait::Arrived;
        if (timer1_->tag) return Wait::TimedOut;
        clock_.waitNext(1);
    }
}

void DefaultsUploader::closeAfterFailure() {
    if (bridge_.close(state_.DeviceHandle) != 0) {
        status_(2, "Port CLose Failed");
        return;
    }
    state_.PortOpen = false;
    openedByTool_ = false;
    clock_.pause(20);
    status_(2, "Check Machine USB Mode");
}

DefaultsUploader::Wait DefaultsUploader::receive(int n, int timeoutMs) {
    timer1_->tag = false;
    timer1_->setInterval(timeoutMs);
    timer1_->setEnabled(true);
    for (int i = 1; i <= n; ++i) {
        const Wait w = waitForByte();
        if (w != Wait::Arrived) {
            timer1_->setEnabled(false);
            return w;
        }
        std::uint8_t byte = 0;
        std::uint32_t got = 0;
        bridge_.read(state_.DeviceHandle, &byte, 1, got);
        state_.ReplyBuffer[std::size_t(i)] = byte;
    }
    timer1_->setEnabled(false);
    return Wait::Arrived;
}

bool DefaultsUploader::awaitReply(std::uint8_t opcode, int timeoutMs) {
    status_(2, "Waiting for reply");
    const Wait w = receive(4, timeoutMs);
    if (w == Wait::QueueFailed) {
        status_(2, "Queue Error");
        return false;
    }
    if (w == Wait::TimedOut) {
        closeAfterFailure();
        return false;
    }
    status_(2, "Reply Received OK");
    const auto& r = state_.ReplyBuffer;
    const char* failure = nullptr;
    if (r[1] != stationlink::kAckByte) failure = "Acknowledge byte error";
    else if (r[4] != opcode) failure = "Opcode byte error";
    else if (r[2] != std::uint8_t((r[3] + r[4]) % 256)) failure = "Checksum Error";
    if (!failure) return true;
    status_(2, failure);
    closeAfterFailure();
    return false;
}

bool DefaultsUploader::purge(std::uint32_t mask, const char* failure) {
    if (bridge_.purge(state_.DeviceHandle, mask) == 0) return true;
    status_(2, failure);
    return false;
}

bool DefaultsUploader::uploadSettings() {
    if (!begin()) return false;
    const DefaultSettingsImage image = defaultSettingsImage();
    const int n = state_.FirmwareVersion >= 7 ? 15 : 13;
    const std::vector<std::uint8_t> frame =
        stationlink::buildFrame(kSettingsOpcode, std::span<const std::uint8_t>(image.data(), std::size_t(n)));
    status_(2, kUploading);
    bool ok = sendPaced(frame, 0, int(frame.size()), "Write Error",
                        [](int index) { return "Write Error" + QString::number(index); });
    if (ok && state_.FirmwareVersion >= 6) ok = awaitReply(kSettingsOpcode, 10000);
    if (ok) {
        status_(2, "EEPROM Uploaded OK");
        if (purge(platform::kPurgeTx, "Clear Tx Buffer Failed")) purge(platform::kPurgeRx, "Clear Rx Buffer Failed");
    }
    end();
    return ok;
}

bool DefaultsUploader::uploadProfile(int slot) {
    if (slot < 1 || slot > 3 || !begin()) return false;
    state_.SelectedDefaultProfile = std::int16_t(slot);
    bool ok = purge(platform::kPurgeTx, "Clear Tx Buffer Failed") && purge(platform::kPurgeRx, "Clear Rx Buffer Failed");
    if (ok) {
        status_(2, kUploading);
        const stationlink::ProfilePayload payload = stationlink::encodeProfilePayload(defaultProfiles()[std::size_t(slot - 1)]);
        const std::uint8_t opcode = *stationlink::profileWriteOpcode(slot);
        const std::vector<std::uint8_t> frame = stationlink::buildFrame(opcode, payload);
        // The start byte, a short pause, then the header back to back.
        ok = writeByte(frame[0]);
        if (ok) clock_.pause(20);
        for (int i = 1; ok && i < 4; ++i) ok = writeByte(frame[std::size_t(i)]);
        if (!ok) status_(2, "Write Error");
        // A failing payload byte names the name or message character sent last.
        auto lastText = [&payload](int index) {
            using namespace stationlink;
            if (index < kProfileNameLength) return payload[std::size_t(index)];
            if (index < kPayloadMessages) return payload[kProfileNameLength - 1];
            if (index < kPayloadModes) return payload[std::size_t(index)];
            return payload[kPayloadModes - 1];
        };
        if (ok) {
            progress(4, int(frame.size()));
            ok = sendPaced(frame, 4, int(frame.size()), "Write Error",
                           [&](int index) { return "Write Error" + QString::number(lastText(index)); });
        }
        if (ok) ok = awaitReply(opcode, 20000);
        if (ok) {
            status_(2, QString("Profile %1 Uploaded OK").arg(slot));
            if (purge(platform::kPurgeTx, "Clear Tx Buffer Failed")) purge(platform::kPurgeRx, "Clear Rx Buffer Failed");
        }
    }
    end();
    return ok;
}

// The slot read as the editor's Retrieve makes it: the four command bytes at the normal
// pace, 85 reply bytes within 10 s, acknowledge, opcode echo, checksum and length checked.
bool DefaultsUploader::readSlot(int slot, core::ProfileTransfer& into) {
    const std::uint8_t opcode = *stationlink::profileReadOpcode(slot);
    for (std::uint8_t b : stationlink::buildFrame(opcode)) {
        if (!writeByte(b)) return false;
        pacingWait(stationlink::kNormalPacingMs);
    }
    if (receive(stationlink::kProfileWriteLength + 3, 10000) != Wait::Arrived) return false;
    const auto& r = state_.ReplyBuffer;
    const stationlink::ProfilePayload payload = stationlink::profilePayloadOfReply(r);
    int sum = r[3] + r[4];
    for (std::uint8_t b : payload) sum += b;
    if (r[1] != stationlink::kAckByte || r[4] != opcode || r[2] != std::uint8_t(sum % 256) ||
        r[3] != stationlink::kProfileWriteLength)
        return false;
    stationlink::decodeNameAndReadBack(payload, into);
    stationlink::decodeTemperaturesAndMessages(payload, into);
    return true;
}

bool DefaultsUploader::verifyProfile(int slot) {
    if (slot < 1 || slot > 3 || !begin()) return false;
    status_(2, QString("Reading Profile %1 back to verify it ...").arg(slot));
    core::ProfileTransfer back;
    const bool read = readSlot(slot, back);
    const bool same = read && stationlink::sameOnScreen(defaultProfiles()[std::size_t(slot - 1)], back,
                                                        state_.Settings.TempUnit != 0);
    if (same) status_(2, QString("Profile %1 Uploaded and verified").arg(slot));
    else if (read) status_(2, QString("Profile %1 Uploaded, but the slot holds different data").arg(slot));
    else status_(2, QString("Profile %1 Uploaded OK, but it could not be read back to verify").arg(slot));
    end();
    return same;
}

}  // namespace defaults

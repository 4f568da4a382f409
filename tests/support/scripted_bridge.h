#pragma once
#include "platform/bridge.h"
#include "platform/clock.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

// A bridge for tests: records every call, fails the calls it is told to, and answers
// each completed command frame with the next scripted reply after a short delay.
class ScriptedBridge final : public platform::Bridge {
public:
    explicit ScriptedBridge(platform::Clock& clock) : clock_(clock) {}

    // --- script ---
    // Reply bytes for the next frames, in order; an empty reply means silence.
    void replyWith(std::vector<std::uint8_t> bytes, int delayMs = 2) { replies_.push_back({std::move(bytes), delayMs}); }
    // Fails the named operation ("open", "close", "baud", "data", "flow", "purge1",
    // "purge2", "latency", "queue", "write", "read") the next count times (-1 = always).
    void failOp(const std::string& op, int count = -1) { fail_[op] = count; }
    // Fails the k-th write from now on (0 = the next one).
    void failWriteNumber(int k) { failWriteAt_ = int(written.size()) + k; }
    bool attached = true;
    // Forgets unused replies and any half-written frame.
    void clearScript() {
        replies_.clear();
        frame_.clear();
    }

    // --- record ---
    std::vector<std::string> calls;
    std::vector<std::uint8_t> written;
    std::vector<std::int64_t> writeTimes;
    bool isOpen() const { return open_ != 0; }
    platform::BridgeHandle handle() const { return open_; }
    std::size_t unread() const { return rx_.size(); }

    platform::BridgeStatus open(int deviceIndex, platform::BridgeHandle& handle) override {
        calls.push_back("open " + std::to_string(deviceIndex));
        if (!attached || fails("open")) return 2;
        open_ = ++next_;
        handle = open_;
        return 0;
    }
    platform::BridgeStatus close(platform::BridgeHandle handle) override {
        calls.push_back("close");
        if (fails("close") || open_ == 0 || handle != open_) return 1;
        open_ = 0;
        return 0;
    }
    platform::BridgeStatus setBaudRate(platform::BridgeHandle h, std::uint32_t rate) override {
        calls.push_back("baud " + std::to_string(rate));
        return status(h, "baud");
    }
    platform::BridgeStatus setDataCharacteristics(platform::BridgeHandle h, std::uint8_t w, std::uint8_t s,
                                                  std::uint8_t p) override {
        calls.push_back("data " + std::to_string(w) + " " + std::to_string(s) + " " + std::to_string(p));
        return status(h, "data");
    }
    platform::BridgeStatus setFlowControl(platform::BridgeHandle h, std::uint16_t mode, std::uint8_t xon,
                                          std::uint8_t xoff) override {
        calls.push_back("flow " + std::to_string(mode) + " " + std::to_string(xon) + " " + std::to_string(xoff));
        return status(h, "flow");
    }
    platform::BridgeStatus purge(platform::BridgeHandle h, std::uint32_t mask) override {
        calls.push_back("purge " + std::to_string(mask));
        const auto s = status(h, "purge" + std::to_string(mask));
        if (s == 0 && (mask & platform::kPurgeRx)) rx_.clear();
        return s;
    }
    platform::BridgeStatus setLatencyTimer(platform::BridgeHandle h, std::uint8_t ms) override {
        calls.push_back("latency " + std::to_string(ms));
        return status(h, "latency");
    }
    platform::BridgeStatus getQueueStatus(platform::BridgeHandle h, std::uint32_t& n) override {
        ++queueCalls;
        if (const auto s = status(h, "queue")) return s;
        n = std::uint32_t(rx_.size());
        return 0;
    }
    platform::BridgeStatus write(platform::BridgeHandle h, const std::uint8_t* b, std::uint32_t count,
                                 std::uint32_t& w) override {
        w = 0;
        calls.push_back("write");
        if (int(written.size()) == failWriteAt_) {
            failWriteAt_ = -1;
            return 4;
        }
        if (const auto s = status(h, "write")) return s;
        for (std::uint32_t i = 0; i < count; ++i) take(b[i]);
        w = count;
        return 0;
    }
    platform::BridgeStatus read(platform::BridgeHandle h, std::uint8_t* b, std::uint32_t count,
                                std::uint32_t& got) override {
        got = 0;
        if (const auto s = status(h, "read")) return s;
        while (got < count && !rx_.empty()) {
            b[got++] = rx_.front();
            rx_.pop_front();
        }
        return 0;
    }

    int queueCalls = 0;

    // Names of the calls other than writes, in order (writes collapse to "write").
    std::vector<std::string> setupCalls() const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c != "write") out.push_back(c);
        return out;
    }

private:
    struct Reply {
        std::vector<std::uint8_t> bytes;
        int delayMs;
    };
    bool fails(const std::string& op) {
        auto it = fail_.find(op);
        if (it == fail_.end() || it->second == 0) return false;
        if (it->second > 0) --it->second;
        return true;
    }
    platform::BridgeStatus status(platform::BridgeHandle h, const std::string& op) {
        if (open_ == 0 || h != open_) return 1;
        return fails(op) ? 4 : 0;
    }
    void take(std::uint8_t byte) {
        written.push_back(byte);
        writeTimes.push_back(clock_.nowMs());
        frame_.push_back(byte);
        if (frame_.size() >= 3 && frame_.size() == std::size_t(3) + frame_[2]) {
            frame_.clear();
            if (replies_.empty()) return;
            Reply r = std::move(replies_.front());
            replies_.pop_front();
            if (r.bytes.empty()) return;
            clock_.schedule(r.delayMs, [this, bytes = std::move(r.bytes)] {
                rx_.insert(rx_.end(), bytes.begin(), bytes.end());
            });
        }
    }

    platform::Clock& clock_;
    platform::BridgeHandle open_ = 0;
    platform::BridgeHandle next_ = 0x100;
    std::map<std::string, int> fail_;
    int failWriteAt_ = -1;
    std::vector<std::uint8_t> frame_;
    std::deque<Reply> replies_;
    std::deque<std::uint8_t> rx_;
};

// A reply frame: 55, checksum, length, opcode, data.
inline std::vector<std::uint8_t> replyOf(std::uint8_t opcode, const std::vector<std::uint8_t>& data = {}) {
    unsigned sum = 1 + unsigned(data.size()) + opcode;
    for (std::uint8_t b : data) sum += b;
    std::vector<std::uint8_t> r{0x55, std::uint8_t(sum % 256), std::uint8_t(1 + data.size()), opcode};
    r.insert(r.end(), data.begin(), data.end());
    return r;
}

}  // namespace testsupport

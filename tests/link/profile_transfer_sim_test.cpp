// The profile transactions served by the poller against the simulated station, on
// virtual time: what the station stores and sends, its protocol checks, and the status
// poll after a failed write.
#include "link/profile_payload.h"
#include "link/profile_transfer.h"
#include "tests/support/poller_rig.h"
#include "tests/support/qt_printers.h"

using namespace stationlink;

namespace {

// Passes every call to the simulated bridge and notes when each byte was written.
class TimedBridge final : public platform::Bridge {
public:
    TimedBridge(platform::Bridge& inner, platform::Clock& clock) : inner_(inner), clock_(clock) {}
    std::vector<std::int64_t> writeTimes;

    platform::BridgeStatus open(int i, platform::BridgeHandle& h) override { return inner_.open(i, h); }
    platform::BridgeStatus close(platform::BridgeHandle h) override { return inner_.close(h); }
    platform::BridgeStatus setBaudRate(platform::BridgeHandle h, std::uint32_t r) override {
        return inner_.setBaudRate(h, r);
    }
    platform::BridgeStatus setDataCharacteristics(platform::BridgeHandle h, std::uint8_t w, std::uint8_t s,
                                                  std::uint8_t p) override {
        return inner_.setDataCharacteristics(h, w, s, p);
    }
    platform::BridgeStatus setFlowControl(platform::BridgeHandle h, std::uint16_t m, std::uint8_t on,
                                          std::uint8_t off) override {
        return inner_.setFlowControl(h, m, on, off);
    }
    platform::BridgeStatus purge(platform::BridgeHandle h, std::uint32_t m) override { return inner_.purge(h, m); }
    platform::BridgeStatus setLatencyTimer(platform::BridgeHandle h, std::uint8_t ms) override {
        return inner_.setLatencyTimer(h, ms);
    }
    platform::BridgeStatus getQueueStatus(platform::BridgeHandle h, std::uint32_t& n) override {
        return inner_.getQueueStatus(h, n);
    }
    platform::BridgeStatus write(platform::BridgeHandle h, const std::uint8_t* b, std::uint32_t c,
                                 std::uint32_t& w) override {
        writeTimes.push_back(clock_.nowMs());
        return inner_.write(h, b, c, w);
    }
    platform::BridgeStatus read(platform::BridgeHandle h, std::uint8_t* b, std::uint32_t c,
                                std::uint32_t& g) override {
        return inner_.read(h, b, c, g);
    }

private:
    platform::Bridge& inner_;
    platform::Clock& clock_;
};

void fill(core::ProfileTransfer& t, int slot, const char* name, std::array<int, 3> temperatures) {
    t.ProfileNumber = std::int16_t(slot);
    t.Name = name;
    for (int p = 0; p < 3; ++p) setProfileTemperature(t, p + 1, temperatures[std::size_t(p)]);
    t.X1Message = " MOVE U.H. NOW ...  ";
    t.X2Message = "   SWITCH PUMP ON   ";
    t.X3Message = " PICK COMPONENT NOW ";
    t.X1LowerCode = 8, t.X1UpperCode = 1;
    t.X2LowerCode = 10, t.X2UpperCode = 2;
    t.X3LowerCode = 8, t.X3UpperCode = 2;
}

}  // namespace

struct ProfileTransferSim : ::testing::Test {
    testsupport::PollerRig rig;
    StationProfiles profiles{rig.link, rig.display};

    void SetUp() override {
        // As the app wires them.
        rig.poller.setAction(core::SlotProfileRead, [this] { profiles.ReadStationProfile(); });
        rig.poller.setAction(core::SlotProfileWrite, [this] { profiles.WriteStationProfile(); });
        rig.connect();
        ASSERT_TRUE(rig.state.MachineOnline);
    }
    // Raises a request slot and runs ticks until the poller has served it.
    void request(int slot) {
        rig.state.RequestFlags[std::size_t(slot)] = true;
        ASSERT_TRUE(rig.clock.runUntil([&] { return !rig.state.RequestFlags[std::size_t(slot)]; }, 60000));
    }
};

TEST_F(ProfileTransferSim, WriteThroughThePollerIsStoredWithoutAProtocolViolation) {
    fill(rig.state.Transfer, 2, "NORTH BRIDGE", {60, 140, 180});
    rig.state.Transfer.WriteDone = false;
    rig.state.Diagnostics.clear();  // the connection's own line is not the write's
    const std::int64_t t0 = rig.clock.nowMs();
    request(core::SlotProfileWrite);
    const std::int64_t took = rig.clock.nowMs() - t0;

    EXPECT_TRUE(rig.state.Transfer.WriteDone);
    EXPECT_TRUE(rig.state.Diagnostics.lines().isEmpty()) << rig.state.Diagnostics.lines().join("\n").toStdString();
    const ProfilePayload sent = encodeProfilePayload(rig.state.Transfer);
    EXPECT_EQ(rig.station.profile(2), sent);
    ASSERT_FALSE(rig.station.frames().empty());
    const auto it = std::find_if(rig.station.frames().begin(), rig.station.frames().end(),
                                 [](const simulator::ReceivedFrame& f) { return f.bytes.size() == 85; });
    ASSERT_NE(it, rig.station.frames().end());
    EXPECT_EQ(it->bytes, buildFrame(0xA6, sent));
    // At most one tick's wait before the poller serves it, then about 42 s.
    EXPECT_GE(took, 81 * 500);
    EXPECT_LE(took, 1000 + 200 + 20 + 81 * 500 + simulator::SimStation::answerDelayFor(0xA6) + 50);
    EXPECT_EQ(rig.station.violationCount(), 0u);
    rig.expectNoViolations();

    // The status poll goes on afterwards, at 10 ms per byte.
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_TRUE(rig.poller.lastPollSucceeded());
    EXPECT_EQ(rig.link.Timer2().interval(), 10);
    EXPECT_EQ(rig.station.violationCount(), 0u);
}

TEST_F(ProfileTransferSim, ReadGivesTheSlotBackAndAWrittenSlotComesBackTheSame) {
    rig.state.Transfer.ProfileNumber = 3;
    request(core::SlotProfileRead);
    const core::ProfileTransfer& t = rig.state.Transfer;
    ASSERT_TRUE(t.ReadDone);
    EXPECT_EQ(t.Name, QByteArray("  LEADFREE  "));
    EXPECT_EQ(profileTemperature(t, 2), 220);
    EXPECT_EQ(t.X3Message, QByteArray(" PICK COMPONENT NOW "));
    EXPECT_EQ(t.X3UpperRead, 1);
    EXPECT_EQ(t.X3LowerRead, 750);

    // Write 260 degrees into slot 1, read it back.
    core::ProfileTransfer out;
    fill(out, 1, "ROUND TRIP  ", {100, 200, 260});
    rig.state.Transfer = out;
    request(core::SlotProfileWrite);
    ASSERT_TRUE(rig.state.Transfer.WriteDone);
    rig.state.Transfer = {};
    rig.state.Transfer.ProfileNumber = 1;
    request(core::SlotProfileRead);
    ASSERT_TRUE(rig.state.Transfer.ReadDone);
    EXPECT_EQ(encodeProfilePayload(rig.state.Transfer).size(), 81u);
    EXPECT_EQ(rig.state.Transfer.Name, out.Name);
    EXPECT_EQ(rig.state.Transfer.X3High, 1);
    EXPECT_EQ(rig.state.Transfer.X3Low, 4);
    EXPECT_EQ(rig.state.Transfer.X2Message, out.X2Message);
    EXPECT_EQ(rig.state.Transfer.X2UpperRead, 2);
    EXPECT_EQ(rig.state.Transfer.X2LowerRead, 500);
    rig.expectNoViolations();
}

TEST_F(ProfileTransferSim, InjectedReplyFaultsReachTheirRows) {
    struct Row {
        simulator::FaultRates rates;
        QStringList lines;
    };
    auto only = [](double simulator::FaultRates::*kind) {
        simulator::FaultRates r;
        r.*kind = 1.0;
        return r;
    };
    const QString f = "Flush Occurred 1151";
    const std::vector<Row> rows = {
        {only(&simulator::FaultRates::lost), {"Timeout 1145", f}},
        {only(&simulator::FaultRates::late), {"Timeout 1145", f}},
        {only(&simulator::FaultRates::truncated), {"Timeout 1145", f}},
        {only(&simulator::FaultRates::wrongAck), {"Acknowledge byte error 1146", f}},
        {only(&simulator::FaultRates::wrongOpcode), {"Opcode byte error 1147", f}},
    };
    for (const Row& row : rows) {
        rig.state.Diagnostics.clear();
        fill(rig.state.Transfer, 3, "FAULTY      ", {80, 150, 200});
        rig.state.Transfer.WriteDone = false;
        // Faults only for the write's reply: switched on as the write starts.
        rig.poller.setAction(core::SlotProfileWrite, [&] {
            rig.station.faults().setRates(row.rates);
            profiles.WriteStationProfile();
            rig.station.faults().setRates(simulator::FaultRates::none());
        });
        request(core::SlotProfileWrite);
        EXPECT_EQ(rig.state.Diagnostics.lines(), row.lines);
        EXPECT_FALSE(rig.state.Transfer.WriteDone);
        // The link recovers on the following ticks, and a late reply has landed meanwhile.
        ASSERT_TRUE(rig.runTicks(3));
        ASSERT_TRUE(rig.clock.runUntil([&] { return rig.poller.lastPollSucceeded(); }, 30000));
    }
}

TEST(ProfileTransferSimPacing, TheStatusPollAfterAFailedWriteIsPacedAtTenMsAgain) {
    platform::VirtualClock clock;
    simulator::SimStation station(clock, 7);
    simulator::SimBridge sim(station);
    TimedBridge bridge(sim, clock);
    core::SharedState state;
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("program"));
    settings::SettingsFile file(state, dir.filePath("program"), dir.filePath("user"));
    file.Read_INI();
    Link link(state, bridge, clock);
    testsupport::CountingShell shell;
    testsupport::RecordingDisplay display;
    Poller poller(state, link, shell, display, file);
    StationProfiles profiles(link, display);
    // The station stops answering for the write only: it times out after its 20 s.
    poller.setAction(core::SlotProfileWrite, [&] {
        station.setSilent(true);
        profiles.WriteStationProfile();
        station.setSilent(false);
    });
    state.ConnectRequested = true;
    ASSERT_TRUE(clock.runUntil([&] { return state.MachineOnline && poller.lastPollSucceeded(); }, 10000));
    state.Diagnostics.clear();  // the connection's own line is not the write's

    fill(state.Transfer, 1, "NO ANSWER   ", {60, 140, 180});
    state.RequestFlags[core::SlotProfileWrite] = true;
    ASSERT_TRUE(clock.runUntil([&] { return !state.RequestFlags[core::SlotProfileWrite]; }, 70000));
    EXPECT_EQ(state.Diagnostics.lines(), (QStringList{"Timeout 1145", "Flush Occurred 1151"}));

    bridge.writeTimes.clear();
    const std::uint64_t polls = station.framesWithOpcode(0x01);
    ASSERT_TRUE(clock.runUntil([&] { return station.framesWithOpcode(0x01) > polls; }, 5000));
    ASSERT_GE(bridge.writeTimes.size(), 4u);
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(bridge.writeTimes[i] - bridge.writeTimes[i - 1], 10);
    for (const auto& v : station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
}

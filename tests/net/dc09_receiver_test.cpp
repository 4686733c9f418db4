// The receiver of IP panels over its sockets' interface: the ACK only after
// the intake stored the frame, limits per address and in total, idle and
// overflowing connections closed, a flood served in turn with the others.
#include "net/dc09_receiver.h"

#include "processing/report.h"

#include <gtest/gtest.h>

#include <map>

namespace k4 {
namespace {

constexpr int64_t kNow = 1796962500;

struct FakeWire final : Dc09Wire {
    std::map<int, std::vector<std::string>> sent;
    std::vector<int> closedIds;
    std::vector<std::string> datagrams;
    void send(int c, std::string_view b) override { sent[c].emplace_back(b); }
    void close(int c) override { closedIds.push_back(c); }
    void sendDatagram(const std::string& a, uint16_t p, std::string_view b) override {
        datagrams.push_back(a + ":" + std::to_string(p) + " " + std::string(b));
    }
};

struct FakeIntake final : FrameIntake {
    bool accepting = true;
    int taken = 0, done = 0;
    std::vector<std::string> order; // "take" and "processed", with reports between
    std::optional<IntakeTicket> take(IntakeChannel channel, int, std::span<const uint8_t>) override {
        EXPECT_EQ(channel, IntakeChannel::IpPanel);
        if (!accepting) return std::nullopt;
        order.push_back("take");
        return IntakeTicket{++taken, 0};
    }
    void processed(const IntakeTicket&) override {
        ++done;
        order.push_back("processed");
    }
};

struct Rig {
    FakeWire wire;
    FakeIntake intake;
    Dc09AccountTable accounts;
    SiaCodeMap codes;
    std::vector<Report> reports;
    std::vector<int32_t> tests;
    std::vector<std::string> notes;
    Dc09Limits limits;
    std::unique_ptr<Dc09Receiver> receiver;

    explicit Rig(Dc09Limits l = {}) : limits(l) {
        EXPECT_TRUE(accounts.add("1234", 1234, "-", nullptr));
        EXPECT_TRUE(accounts.add("5678", 42, "000102030405060708090A0B0C0D0E0F", nullptr));
        receiver = std::make_unique<Dc09Receiver>(Dc09Receiver::Services{
            wire, intake, accounts, codes, Dc09Policy{}, limits,
            [this](const Report& r) {
                reports.push_back(r);
                intake.order.push_back("report");
            },
            [this](int32_t s) { tests.push_back(s); }, [this](const std::string& n) { notes.push_back(n); }});
    }
};

std::string frame(const std::string& kind, const std::string& data, const char* seq = "0001") {
    return dc09Wrap("\"" + kind + "\"" + seq + "L0#1234[" + data + "]" + dc09TimeText(kNow));
}

TEST(Dc09Receiver, AckOnlyAfterTheFrameIsStoredAndProcessed) {
    Rig rig;
    ASSERT_TRUE(rig.receiver->opened(1, "10.0.0.1", 0));
    // Two frames in pieces: one connection carries many.
    const std::string both = frame("SIA-DCS", "Nri3/BA07", "0001") + frame("ADM-CID", "3130 03 007", "0002");
    rig.receiver->arrived(1, both.substr(0, 20), 0);
    rig.receiver->arrived(1, both.substr(20), 0);
    rig.receiver->serve(100, kNow);
    ASSERT_EQ(rig.wire.sent[1].size(), 2u);
    EXPECT_EQ(rig.wire.sent[1][0], dc09Wrap("\"ACK\"0001L0#1234[]"));
    EXPECT_EQ(rig.wire.sent[1][1], dc09Wrap("\"ACK\"0002L0#1234[]"));
    EXPECT_EQ(rig.intake.order, (std::vector<std::string>{"take", "report", "processed", "take", "report", "processed"}));
    ASSERT_EQ(rig.reports.size(), 2u);
    EXPECT_EQ(rig.reports[0].subscriber, 1234);
    EXPECT_EQ(rig.reports[0].code, 0x130);
    EXPECT_EQ(rig.reports[0].subsystem, 3);
    EXPECT_EQ(rig.reports[0].sector, 7);
    EXPECT_EQ(rig.reports[0].path, Report::kPathIpReceiver);
    EXPECT_EQ(rig.reports[1].code, 0x930);
}

TEST(Dc09Receiver, NothingAnsweredWhenTheDiskRefuses) {
    Rig rig;
    rig.intake.accepting = false;
    rig.receiver->datagram("10.0.0.2", 4000, frame("SIA-DCS", "NBA1"));
    rig.receiver->serve(0, kNow);
    EXPECT_TRUE(rig.wire.datagrams.empty());
    EXPECT_TRUE(rig.reports.empty());
    EXPECT_EQ(rig.receiver->statistics().notStored, 1u);
    // The panel's retry when the disk is back.
    rig.intake.accepting = true;
    rig.receiver->datagram("10.0.0.2", 4000, frame("SIA-DCS", "NBA1"));
    rig.receiver->serve(100, kNow);
    ASSERT_EQ(rig.wire.datagrams.size(), 1u);
    EXPECT_EQ(rig.wire.datagrams[0], "10.0.0.2:4000 " + dc09Wrap("\"ACK\"0001L0#1234[]"));
}

TEST(Dc09Receiver, SupervisionAndRefusalsLeaveNoReport) {
    Rig rig;
    rig.receiver->datagram("10.0.0.3", 1, frame("NULL", ""));
    rig.receiver->datagram("10.0.0.3", 1, frame("SIA-DCS", "NRP"));
    std::string bad = frame("SIA-DCS", "NBA1");
    bad[3] = bad[3] == 'F' ? 'E' : 'F';
    for (int i = 0; i < 3; ++i) rig.receiver->datagram("10.0.0.4", 1, bad);
    rig.receiver->serve(0, kNow);
    EXPECT_EQ(rig.tests, (std::vector<int32_t>{1234, 1234}));
    ASSERT_EQ(rig.reports.size(), 1u); // the test event itself, not the NULL
    EXPECT_EQ(rig.reports[0].code, 0x602);
    EXPECT_EQ(rig.intake.taken, 2);
    // Three refusals, one technical note within the minute.
    EXPECT_EQ(rig.receiver->statistics().naked, 3u);
    ASSERT_EQ(rig.notes.size(), 1u);
    rig.receiver->datagram("10.0.0.4", 1, bad);
    rig.receiver->serve(61000, kNow);
    ASSERT_EQ(rig.notes.size(), 2u);
    EXPECT_NE(rig.notes[1].find("odrzucone 3 (ostatnio: crc)"), std::string::npos) << rig.notes[1];
}

TEST(Dc09Receiver, ConnectionLimitsIdleAndOverflow) {
    Dc09Limits limits;
    limits.connectionsTotal = 3;
    limits.connectionsPerAddress = 2;
    limits.bufferBytes = 2000;
    limits.idleMs = 1000;
    Rig rig(limits);
    EXPECT_TRUE(rig.receiver->opened(1, "a", 0));
    EXPECT_TRUE(rig.receiver->opened(2, "a", 0));
    EXPECT_FALSE(rig.receiver->opened(3, "a", 0)); // per address
    EXPECT_TRUE(rig.receiver->opened(4, "b", 0));
    EXPECT_FALSE(rig.receiver->opened(5, "c", 0)); // in total
    rig.receiver->closed(2);
    EXPECT_TRUE(rig.receiver->opened(6, "a", 0));

    // A line that never ends is cut at the longest frame.
    rig.receiver->arrived(1, "\n" + std::string(1500, 'x'), 500);
    rig.receiver->serve(600, kNow);
    // More than the buffer holds at once.
    rig.receiver->arrived(6, std::string(2500, '\n'), 600);
    EXPECT_EQ(rig.wire.closedIds, (std::vector<int>{1, 6}));
    // Silent past the limit.
    rig.receiver->arrived(4, "", 1500);
    rig.receiver->serve(2600, kNow);
    EXPECT_EQ(rig.wire.closedIds.back(), 4);
    EXPECT_EQ(rig.receiver->connectionCount(), 0u);
    EXPECT_EQ(rig.receiver->statistics().idleClosed, 1u);
    EXPECT_EQ(rig.receiver->statistics().overflowClosed, 2u);
}

TEST(Dc09Receiver, AFloodWaitsItsTurn) {
    Dc09Limits limits;
    limits.framesPerTick = 7;
    limits.framesPerSenderPerTick = 2;
    limits.bufferBytes = 1 << 20;
    Rig rig(limits);
    ASSERT_TRUE(rig.receiver->opened(1, "flood", 0));
    std::string many;
    for (int i = 0; i < 200; ++i) many += frame("NULL", "");
    rig.receiver->arrived(1, many, 0);
    for (int c = 2; c <= 5; ++c) {
        ASSERT_TRUE(rig.receiver->opened(c, "panel" + std::to_string(c), 0));
        rig.receiver->arrived(c, frame("SIA-DCS", "NBA1"), 0);
    }
    for (int i = 0; i < 50; ++i) rig.receiver->datagram("udpflood", 9, frame("NULL", ""));
    rig.receiver->datagram("udppanel", 9, frame("SIA-DCS", "NFA1"));
    rig.receiver->serve(100, kNow);
    // Every quiet panel answered in the first tick; the flood 2 a tick.
    for (int c = 2; c <= 5; ++c) EXPECT_EQ(rig.wire.sent[c].size(), 1u) << c;
    EXPECT_EQ(rig.wire.sent[1].size(), 2u);
    EXPECT_EQ(rig.receiver->statistics().frames, 7u);
    rig.receiver->serve(200, kNow);
    // The UDP panel behind the TCP flood: served within the next tick.
    bool udpPanel = false;
    for (const auto& d : rig.wire.datagrams) udpPanel = udpPanel || d.rfind("udppanel", 0) == 0;
    EXPECT_TRUE(udpPanel);
    // The UDP flood's queue is bounded; the rest was dropped unanswered.
    EXPECT_EQ(rig.receiver->statistics().datagramsDropped, 50u - limits.datagramsPerAddress);
}

TEST(Dc09Receiver, StoredRecordReplaysTheSameReports) {
    Rig rig;
    Dc09Verdict v;
    v.subscriber = 77;
    v.events = {Dc09Event{0x110, 2, 9, false}};
    v.supervision = true;
    rig.receiver->processStored(Dc09Receiver::encodeTaken(v));
    ASSERT_EQ(rig.reports.size(), 1u);
    EXPECT_EQ(rig.reports[0].subscriber, 77);
    EXPECT_EQ(rig.reports[0].code, 0x110);
    EXPECT_EQ(rig.tests, (std::vector<int32_t>{77}));
    // A damaged record gives nothing.
    auto damaged = Dc09Receiver::encodeTaken(v);
    damaged.pop_back();
    rig.receiver->processStored(damaged);
    rig.receiver->processStored({});
    EXPECT_EQ(rig.reports.size(), 1u);
}

} // namespace
} // namespace k4

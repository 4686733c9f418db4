// The whole station with its receiver of IP panels on a loopback port and
// kestrel4-sim dc09's panels against it: a frame of each kind, in clear and
// encrypted, over TCP and UDP, becomes its history entry and its alarm;
// damaged, late, clear-instead-of-encrypted, wrongly keyed and unknown
// frames get their NAK and leave nothing in the history; NULL frames and
// test events restart the periodic test, and a panel that then falls
// silent gives "BRAK TESTU"; the connection limits, the idle close and a
// flood from one address over real sockets.
#include "station/dc09_station_rig.h"

#include "processing/scheduler_entry.h"
#include "processing/test_supervision.h"
#include "sim/dc09_socket.h"

namespace k4 {
namespace {

using dc09test::Dc09Station;

constexpr const char* kKey256 = "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F";
constexpr const char* kKey128 = "F0E1D2C3B4A5968778695A4B3C2D1E0F";

struct Dc09Centre : ::testing::Test {
    Dc09Station rig;
    void SetUp() override {
        rig.addAccount("1234", 1234, "-");
        rig.addAccount("5678", 5678, kKey256);
        rig.addAccount("9ABC", 4321, kKey128);
        rig.start();
        rig.addSubscriber(1234);
        rig.addSubscriber(5678);
        rig.addSubscriber(4321);
    }
    bool hasAlarm(int subscriber, int code) {
        for (int i = 0; i < rig.station->alarms().count(); ++i) {
            const AlarmRecord& a = rig.station->alarms()[i];
            if (a.subscriber == subscriber && a.code() == code) return true;
        }
        return false;
    }
};

TEST_F(Dc09Centre, EachFormatBecomesItsHistoryEntryAndAlarmAndEveryRefusalItsNak) {
    std::string log;
    const int status = rig.play("prefix 1 2\n"
                                "sia 1234 Nri1/BA05\n"
                                "cid 1234 1110 02 007\n"
                                "key 5678 " + std::string(kKey256) + "\n"
                                "sia 5678 Nri3/FA12\n"
                                "cid 5678 1120 01 003\n"
                                "udp\n"
                                "sia 1234 Nri1/PA04\n"
                                "cid 5678 3130 01 005\n"
                                "key 9ABC " + kKey128 + "\n"
                                "null 9ABC\n"
                                "kind XYZ 1234 abc\n"
                                "sia 1234 Nri1/ZZ01 expect duh\n"
                                "tcp\n"
                                "sia 1234 Nri1/BA06 crc\n"
                                "sia 1234 Nri1/BA07 length\n"
                                "sia 1234 Nri1/BA08 late\n"
                                "sia 1234 Nri1/BA09 early\n"
                                "sia 5678 Nri1/BA10 clear\n"
                                "sia 5678 Nri1/BA11 wrongkey\n"
                                "sia 5678 Nri1/BA12 nostamp\n"
                                "sia 7777 Nri1/BA13 expect nak\n"
                                "reconnect\n"
                                "null 1234 nostamp\n",
                                log);
    ASSERT_EQ(status, 0) << log;

    struct Expected {
        int subscriber, code, subsystem, sector;
    };
    for (const Expected& e : std::initializer_list<Expected>{
             {1234, 0x130, 1, 5},  // SIA-DCS in clear over TCP
             {1234, 0x110, 2, 7},  // ADM-CID in clear over TCP
             {5678, 0x110, 3, 12}, // SIA-DCS encrypted
             {5678, 0x120, 1, 3},  // ADM-CID encrypted
             {1234, 0x120, 1, 4},  // SIA-DCS over UDP
             {5678, 0x930, 1, 5},  // an encrypted ADM-CID restore over UDP
         }) {
        EXPECT_EQ(rig.count(e.subscriber, e.code, e.subsystem, e.sector), 1)
            << e.subscriber << " " << std::hex << e.code;
    }
    // Nothing else: the NULL frames, the DUHs and the refused frames left no report.
    EXPECT_EQ(rig.reports().size(), 6u);
    EXPECT_TRUE(hasAlarm(1234, 0x130));
    EXPECT_TRUE(hasAlarm(5678, 0x110));
    // The reports came by the receiver's path: the Ethernet type in the entry.
    for (const HistoryEntry& e : rig.reports()) EXPECT_EQ(e.kind >> 12, 6) << e.subscriber;
    // Every frame is in the link's statistics.
    const Dc09Statistics& stats = rig.station->ipPanels().receiver()->statistics();
    EXPECT_EQ(stats.acked, 8u);
    EXPECT_EQ(stats.naked, 8u);
    EXPECT_EQ(stats.duhed, 2u);
    EXPECT_EQ(rig.station->intake().heldCount(), 0);
}

TEST_F(Dc09Centre, AnEncryptedAccountRefusesPlainText) {
    std::string log;
    ASSERT_EQ(rig.play(std::string("key 5678 ") + kKey256 + "\n"
                       "sia 5678 Nri1/BA01 clear\n"
                       "cid 5678 1130 01 002 clear\n"
                       "null 5678 clear\n",
                       log),
              0)
        << log;
    EXPECT_TRUE(rig.reports().empty());
    const Dc09Statistics& stats = rig.station->ipPanels().receiver()->statistics();
    EXPECT_EQ(stats.refusals.at(Dc09Refusal::PlainRefused), 3u);
    // The same frames encrypted are taken.
    ASSERT_EQ(rig.play(std::string("key 5678 ") + kKey256 + "\nsia 5678 Nri1/BA01\n", log), 0) << log;
    EXPECT_EQ(rig.count(5678, 0x130, 1, 1), 1);
}

// Seconds until the deadline of the subscriber's test on this path; -1 none.
int64_t testDueIn(Scheduler& scheduler, int subscriber, int path) {
    int64_t at = 0;
    for (int i = 0; i < scheduler.count(); ++i) {
        const SchedulerEntry& e = scheduler.entry(i);
        at += i == 0 ? (scheduler.headRemainingMs() + 999) / 1000 : e.delay();
        if (e.type() == kSchedCheckTest && e.key == subscriber && e.arg() == path + 1) return at;
    }
    return -1;
}

TEST(Dc09Supervision, NullAndTestFramesRestartThePeriodicTestAndSilenceGivesBrakTestu) {
    Dc09Station rig;
    rig.addAccount("1234", 1234, "-");
    rig.start();
    // A test every hour on the Ethernet test path.
    rig.addSubscriber(1234, [](SubscriberRecord& r) {
        r.tracks = 0x7F;
        r.test_type1 = kTestRepeated;
        r.test_repeat1 = 2;
        r.test_delay1 = 0;
        r.test_track1 = kTestPathEthernet;
        r.test_flags = static_cast<uint16_t>((r.test_flags & 0xFFF0) | kTest1Active);
    });
    {
        Sbscrbr s(rig.station->database(), ByNumber{1234});
        rig.station->tests().scheduleTests(s, false);
    }
    Scheduler& scheduler = rig.station->scheduler();
    ASSERT_GT(testDueIn(scheduler, 1234, kTestPathEthernet), 3500);

    auto pass = [&](int64_t seconds) {
        for (int64_t s = 0; s < seconds; s += 10) {
            rig.clock.advanceSeconds(10);
            rig.station->tick();
        }
    };
    const int missing = rig.special(0);
    pass(1800);
    ASSERT_LT(testDueIn(scheduler, 1234, kTestPathEthernet), 1900);
    std::string log;
    ASSERT_EQ(rig.play("null 1234\n", log), 0) << log;
    EXPECT_GT(testDueIn(scheduler, 1234, kTestPathEthernet), 3500) << "the NULL frame restarted the test";

    pass(1800);
    ASSERT_EQ(rig.play("sia 1234 Nri1/RP\n", log), 0) << log;
    EXPECT_GT(testDueIn(scheduler, 1234, kTestPathEthernet), 3500) << "the test event restarted it";
    EXPECT_EQ(rig.count(1234, 0x602), 1);

    // Silent past the first deadlines: no "BRAK TESTU" until an hour after
    // the last test.
    pass(3400);
    EXPECT_EQ(rig.count(1234, missing), 0);
    pass(400);
    EXPECT_EQ(rig.count(1234, missing), 1);
}

// A panel's connection of the test's own.
struct Connection {
    sim::Dc09Socket socket;
    bool open(const Dc09Station& rig, const std::string& source) {
        std::string error;
        return socket.open(false, "127.0.0.1", rig.port, source, error, false);
    }
    // Closed by the station: the peer's end reads nothing any more.
    bool closedByStation() {
        std::string error;
        return !socket.readAvailable(error);
    }
};

TEST(Dc09Flood, ConnectionLimitsIdleCloseAndOneFloodingAddressDoesNotStarveAnother) {
    Dc09Station rig;
    rig.addAccount("1234", 1234, "-");
    rig.addAccount("4321", 4321, "-");
    rig.start();
    const Dc09Limits limits;
    // The event loop turns (no tick) until done, within a bound.
    auto settle = [&](int turns, const std::function<bool()>& done = {}) {
        for (int i = 0; i < turns && !(done && done()); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            ::usleep(2000);
        }
    };
    auto count = [&] { return rig.station->ipPanels().receiver()->connectionCount(); };
    auto closedOf = [](std::vector<Connection>& of) {
        int n = 0;
        for (Connection& c : of) n += c.closedByStation();
        return n;
    };
    auto open = [&](std::vector<Connection>& into, const std::string& source, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            into.emplace_back();
            ASSERT_TRUE(into.back().open(rig, source));
            if (i % 16 == 15) settle(5);
        }
    };

    // One address: the connections over its limit are closed at once.
    std::vector<Connection> flooder;
    open(flooder, "127.0.0.2", limits.connectionsPerAddress + 6);
    settle(5000, [&] { return count() == limits.connectionsPerAddress && closedOf(flooder) == 6; });
    EXPECT_EQ(closedOf(flooder), 6);
    EXPECT_EQ(rig.station->ipPanels().receiver()->connectionCount(), limits.connectionsPerAddress);

    // Every open connection floods frames without waiting for answers; a
    // panel of another address sends one frame meanwhile.
    const int64_t now = rig.clock.unixTime();
    constexpr int kFramesEach = 16;
    int flooding = 0;
    for (Connection& c : flooder) {
        std::string error;
        if (c.closedByStation()) continue;
        ++flooding;
        std::string burst;
        for (int f = 0; f < kFramesEach; ++f)
            burst += sim::dc09PanelFrame("SIA-DCS", {"0001", "", "0", "1234"}, "#1234|Nri1/BA" + std::to_string(f + 1),
                                         now, true);
        ASSERT_TRUE(c.socket.send(burst, error)) << error;
    }
    settle(200);
    Connection other;
    ASSERT_TRUE(other.open(rig, "127.0.0.3"));
    settle(20);
    std::string error;
    ASSERT_TRUE(other.socket.send(sim::dc09PanelFrame("SIA-DCS", {"0042", "", "0", "4321"}, "#4321|Nri1/BA01", now, true),
                                  error));
    settle(20);
    // The other panel's ACK comes within a tick or two, long before the
    // flood is through.
    std::string answer;
    int ticks = 0;
    while (answer.empty() && ticks < 50) {
        rig.station->tick();
        ++ticks;
        settle(2);
        answer = other.socket.receiveFrame(10, nullptr, error);
    }
    EXPECT_EQ(answer, dc09Wrap("\"ACK\"0042L0#4321[]"));
    const Dc09Statistics& stats = rig.station->ipPanels().receiver()->statistics();
    // Round robin from the connection after the last served: the first tick
    // serves four frames of each flooding connection, the second starts with
    // the other panel.
    EXPECT_LE(ticks, 2);
    EXPECT_LE(stats.acked, 2 * limits.framesPerTick);
    EXPECT_LT(stats.acked - 1, static_cast<uint64_t>(flooding * kFramesEach)) << "the flood was not through yet";
    EXPECT_EQ(rig.count(4321, 0x130), 1);
    // ... and all of the flood is taken in the end.
    for (int i = 0; i < 200 && stats.acked < static_cast<uint64_t>(flooding * kFramesEach + 1); ++i) {
        rig.station->tick();
        settle(2);
    }
    EXPECT_EQ(stats.acked, static_cast<uint64_t>(flooding * kFramesEach + 1));

    // Connections silent past the idle time are closed.
    rig.clock.advanceMs(limits.idleMs + 1000);
    rig.station->tick();
    settle(2000, [&] { return closedOf(flooder) == static_cast<int>(flooder.size()); });
    EXPECT_EQ(closedOf(flooder), static_cast<int>(flooder.size()));
    EXPECT_TRUE(other.closedByStation());
    EXPECT_EQ(rig.station->ipPanels().receiver()->connectionCount(), 0u);

    // The limit in total: addresses of their own, each within its limit.
    std::vector<Connection> many;
    const size_t perSource = limits.connectionsPerAddress;
    size_t opened = 0;
    for (int source = 1; opened < limits.connectionsTotal; ++source) {
        const size_t n = std::min(perSource, limits.connectionsTotal - opened);
        open(many, "127.0.2." + std::to_string(source), n);
        opened += n;
    }
    settle(20000, [&] { return count() == limits.connectionsTotal; });
    EXPECT_EQ(count(), limits.connectionsTotal);
    Connection overTheTop;
    ASSERT_TRUE(overTheTop.open(rig, "127.0.3.1"));
    settle(2000, [&] { return overTheTop.closedByStation(); });
    EXPECT_TRUE(overTheTop.closedByStation());
    EXPECT_EQ(rig.station->ipPanels().receiver()->connectionCount(), limits.connectionsTotal);
}

} // namespace
} // namespace k4

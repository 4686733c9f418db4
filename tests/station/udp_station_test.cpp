// The whole station with its real UDP sockets on loopback addresses (the
// ports moved off the standard ones, so a live station on this host is not
// disturbed), simulated Ethernet bases and transmitters as sockets of the
// test, time in the test's hand for the waits: the module check finds the
// bases and the virtual paths, reports of both binary channels reach the
// history and the alarm list and are echoed only once stored, keep-alives
// are echoed unchanged, base messages are acknowledged from listed bases
// only, the alarm-service confirmation fails cleanly when a base is silent,
// orders find the address the registry learned, and a forged keep-alive
// cannot start an endless exchange between two stations.
#include "shell/station.h"

#include "admin/installation.h"
#include "baselink/packet.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "history/history_reader.h"
#include "net/base_text.h"
#include "platform/qt_datagram_socket.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

void ensureApplication() {
    static int argc = 1;
    static char name[] = "tests_station";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
}

// Three ports no one holds now, in a row of their own.
UdpSettings freePorts(const std::string& address) {
    ensureApplication();
    UdpSettings s;
    s.bindAddress = address;
    uint16_t* fields[3] = {&s.textPort, &s.vgprsPort, &s.ethernetPort};
    std::vector<std::unique_ptr<QUdpSocket>> held;
    for (uint16_t* f : fields) {
        auto socket = std::make_unique<QUdpSocket>();
        EXPECT_TRUE(socket->bind(QHostAddress::AnyIPv4, 0));
        *f = socket->localPort();
        held.push_back(std::move(socket));
    }
    return s;
}

void settle(int ms, const std::function<bool()>& done = {}) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (done && done()) return;
    }
}

// A device of the test on the network: its socket, what it got, and how it
// answers.
class Device {
public:
    Device(const std::string& address, uint16_t port) {
        EXPECT_TRUE(socket_.bind(QHostAddress(QString::fromStdString(address)), port)) << address << ":" << port;
        QObject::connect(&socket_, &QUdpSocket::readyRead, [this] {
            while (socket_.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket_.receiveDatagram();
                const QByteArray data = d.data();
                received.emplace_back(data.begin(), data.end());
                if (respond) respond(*this, received.back(), d.senderAddress(), static_cast<uint16_t>(d.senderPort()));
            }
        });
    }
    void send(const Bytes& bytes, const std::string& to, uint16_t port) {
        socket_.writeDatagram(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()),
                              QHostAddress(QString::fromStdString(to)), port);
    }
    void sendText(const std::string& text, const std::string& to, uint16_t port) {
        send(Bytes(text.begin(), text.end()), to, port);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Bytes& b : received) out.emplace_back(b.begin(), b.end());
        return out;
    }
    std::deque<Bytes> received;
    std::function<void(Device&, const Bytes&, const QHostAddress&, uint16_t)> respond;

private:
    QUdpSocket socket_;
};

// An Ethernet receiving base: answers the centre's commands with its kind
// ("%NN yKK#"), or stays silent.
void playBase(Device& base, int kindByte, bool& silent) {
    base.respond = [kindByte, &silent](Device& self, const Bytes& got, const QHostAddress& from, uint16_t port) {
        if (silent || got.size() < 3 || got[0] != '%') return;
        char reply[32];
        std::snprintf(reply, sizeof reply, "%%%c%c y%02X#", got[1], got[2], kindByte);
        self.sendText(reply, from.toString().toStdString(), port);
    };
}

// The event loop runs while a command waits; the test's clock moves with it.
struct LoopPump final : EventPump {
    test::ManualClock& clock;
    QtEventPump real;
    explicit LoopPump(test::ManualClock& c) : clock(c) {}
    void runFor(int ms) override {
        real.runFor(std::min(ms, 20));
        clock.advanceMs(ms);
    }
    void wake() override { real.wake(); }
};

struct ListedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/k4-interface", "/dev/k4-data"}; }
};

struct FixedTexts final : TrackedTexts {
    std::optional<std::string> text;
    std::optional<std::string> trackFindAlarm(int, uint8_t) override { return text; }
};

Bytes longForm(uint8_t command, int subscriber, int subsystem, int code, int sector, uint8_t marker) {
    const auto bcd = [](int v) { return static_cast<uint8_t>(((v / 10 % 10) << 4) | (v % 10)); };
    return {12, command, 0, bcd(subscriber / 100), bcd(subscriber % 100), static_cast<uint8_t>(subsystem),
            static_cast<uint8_t>(code >> 4), static_cast<uint8_t>(((code & 0xF) << 4) | (sector >> 8)),
            static_cast<uint8_t>(sector & 0xFF), 0, 0, 0, 0, marker};
}

class UdpStation {
public:
    // configure: the configuration changed before the first start.
    explicit UdpStation(const std::string& address = "127.0.0.1", std::vector<std::string> bases = {},
                        const std::function<void(ConfigBlock&)>& configure = {})
        : address_(address), settings(freePorts(address)) {
        ensureApplication();
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 0;
        config.block().inter_port = 1;
        config.block().data_port = 2;
        if (configure) configure(config.block());
        EXPECT_EQ(config.SaveConfig(1), 0);
        // "pakiety" as the IP base table dialog writes it.
        std::string pakiety = "1 7 12\n";
        for (int s = 1; s <= 7; ++s) pakiety += std::to_string(s) + " BRAK\n";
        for (int k = 0; k < 12; ++k) pakiety += (k < static_cast<int>(bases.size()) ? bases[static_cast<size_t>(k)] : "0.0.0.0") + "\n";
        pakiety += "ptarvik\nethernet\n";
        tmp.write("pakiety", pakiety);
    }
    ~UdpStation() {
        if (station) station->stop();
    }
    void start() {
        station = std::make_unique<Station>(Station::Environment{
            DataDir(tmp.path()), ui, clock, ports, [this] { return std::make_unique<test::FakeSerialLine>(&clock); },
            [](int) {}, [] { return std::make_unique<QtDatagramSocket>(); }, &pump, settings});
        // The station's own links stay when the test needs them.
        if (trackTexts) station->udp().setLinks({nullptr, nullptr, &texts});
        ASSERT_EQ(station->start(), 0);
        station->trace().setEnabled(true);
        for (int c = 0; c < 3; ++c) ASSERT_TRUE(station->udp().bound(c)) << c;
    }
    void addSubscriber(int number) {
        Sbscrbr s(station->database(), ByNumber{number});
        std::snprintf(s.record.name, sizeof s.record.name, "Abonent %d", number);
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    }
    std::vector<HistoryEntry> entries(bool system) const {
        std::vector<HistoryEntry> out;
        readHistoryFile(tmp.file("logf"), [&](const HistoryEntry& e) {
            if (e.isSystem() == system) out.push_back(e);
            return true;
        });
        return out;
    }
    int reports(int subscriber, int code) const {
        int n = 0;
        for (const auto& e : entries(false))
            if (e.subscriber == subscriber && e.kindCode() == code) ++n;
        return n;
    }
    int systemEntries(int kind) const {
        int n = 0;
        for (const auto& e : entries(true))
            if (e.kindCode() == kind) ++n;
        return n;
    }
    const std::string& address() const { return address_; }

    std::string address_;
    test::TempDir tmp;
    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    ListedPorts ports;
    LoopPump pump{clock};
    FixedTexts texts;
    bool trackTexts = true; // the alarm service's texts are the test's
    UdpSettings settings;
    std::unique_ptr<Station> station;
};

// The station with two bases (127.0.0.2 a GSM base, 127.0.0.3 a radio one)
// and two transmitters (127.0.0.4 on the Ethernet channel, 127.0.0.5 on
// the vGPRS channel).
struct Centre : ::testing::Test {
    UdpStation rig{"127.0.0.1", {"127.0.0.2", "127.000.000.003"}};
    bool baseSilent = false;
    Device base1{"127.0.0.2", rig.settings.textPort};
    Device base2{"127.0.0.3", rig.settings.textPort};
    Device ethernet{"127.0.0.4", rig.settings.ethernetPort};
    Device vgprs{"127.0.0.5", rig.settings.vgprsPort};

    void SetUp() override {
        playBase(base1, 0x91, baseSilent);
        playBase(base2, 0xC2, baseSilent);
        rig.start();
        rig.addSubscriber(1234);
        rig.addSubscriber(1235);
    }
    void toEthernet(const Bytes& b, Device* from = nullptr) { (from ? *from : ethernet).send(b, "127.0.0.1", rig.settings.ethernetPort); }
    void toVgprs(const Bytes& b) { vgprs.send(b, "127.0.0.1", rig.settings.vgprsPort); }
};

TEST_F(Centre, TheModuleCheckFindsBothBasesAndTheVirtualPaths) {
    PathTable& paths = rig.station->paths();
    ASSERT_TRUE(paths.at(7));
    EXPECT_EQ(paths.at(7)->kind, 0x90);
    EXPECT_EQ(paths.at(7)->address, "127.0.0.2");
    ASSERT_TRUE(paths.at(8));
    EXPECT_EQ(paths.at(8)->kind, 0x10); // 0xC0 stands for a radio base
    EXPECT_EQ(paths.at(8)->number, 1);
    EXPECT_EQ(paths.at(8)->address, "127.0.0.3");
    ASSERT_TRUE(paths.at(9));
    EXPECT_EQ(paths.at(9)->kind, kKindVgprsChannel);
    ASSERT_TRUE(paths.at(10));
    EXPECT_EQ(paths.at(10)->kind, kKindEthernetChannel);
    // Each base was asked with its position in the table.
    ASSERT_FALSE(base1.received.empty());
    EXPECT_EQ(base1.texts().front().substr(0, 1), "%");
    EXPECT_EQ(base2.texts().front(), "%01#");
}

TEST_F(Centre, AReportOnEachChannelIsStoredEchoedProcessedAndTheEthernetSenderRegistered) {
    const Bytes report = longForm(0x01, 1234, 1, 0x130, 5, 'Y');
    toEthernet(report);
    settle(2000, [&] { return !ethernet.received.empty(); });
    ASSERT_EQ(ethernet.received.size(), 1u);
    Bytes echo = report;
    echo[1] = 0x10;
    EXPECT_EQ(ethernet.received[0], echo);
    EXPECT_EQ(rig.reports(1234, 0x130), 1);
    ASSERT_GE(rig.station->alarms().count(), 1);
    EXPECT_EQ(rig.station->alarms()[0].subscriber, 1234);
    EXPECT_EQ(rig.station->alarms()[0].path, 10);
    EXPECT_EQ(rig.station->udp().registry().lookupSubscriberIp(1234), "127.0.0.4");
    EXPECT_EQ(rig.tmp.read("sbsip").size(), 18432u);

    const Bytes other = longForm(0x01, 1235, 1, 0x110, 3, 'X');
    toVgprs(other);
    settle(2000, [&] { return !vgprs.received.empty(); });
    ASSERT_EQ(vgprs.received.size(), 1u);
    EXPECT_EQ(vgprs.received[0][1], 0x10);
    EXPECT_EQ(rig.reports(1235, 0x110), 1);
    EXPECT_EQ(rig.station->alarms()[0].path, 9);
    // The vGPRS channel keeps no registry.
    EXPECT_FALSE(rig.station->udp().registry().lookupSubscriberIp(1235));
    // Both went through the journal and are done.
    EXPECT_EQ(rig.station->intake().heldCount(), 0);
}

TEST_F(Centre, KeepAlivesAndStatusDatagrams) {
    const Bytes keepAlive{7, 1, 2, 3, 4, 5, 0x12, 0x34, 'Y'};
    toEthernet(keepAlive);
    settle(2000, [&] { return !ethernet.received.empty(); });
    ASSERT_EQ(ethernet.received.size(), 1u);
    EXPECT_EQ(ethernet.received[0], keepAlive);
    EXPECT_EQ(rig.station->udp().registry().lookupSubscriberIp(1234), "127.0.0.4");

    toEthernet(longForm(0x09, 1234, 0, 0, 0, 'Y'));
    toEthernet(longForm(0x20, 1234, 7, 0, 0, 'Y'));
    toEthernet(longForm(0x04, 1234, 8, 0, 0, 'Y'));
    settle(2000, [&] { return ethernet.received.size() >= 3; });
    settle(100);
    ASSERT_EQ(ethernet.received.size(), 3u); // 0x20 is not answered
    EXPECT_EQ(ethernet.received[1][1], 0x90);
    EXPECT_EQ(ethernet.received[2][1], 0x40);
    EXPECT_EQ(rig.systemEntries(kHistoryDatagramStatus), 2);
}

TEST_F(Centre, AnXReportOnTheEthernetChannelIsProcessedAndTold) {
    toEthernet(longForm(0x01, 1234, 1, 0x130, 5, 'X'));
    settle(2000, [&] { return !rig.ui.boxes.empty(); });
    EXPECT_EQ(rig.reports(1234, 0x130), 1);
    ASSERT_FALSE(rig.ui.boxes.empty());
    EXPECT_EQ(rig.ui.boxes.back().text, " vGPRS w Ethernet");
}

TEST_F(Centre, ABaseMessageIsAcknowledgedFromAListedBaseOnly) {
    base1.sendText("$1F p10 a001234#", "127.0.0.1", rig.settings.textPort);
    settle(2000, [&] { return !base1.received.empty() && base1.texts().back() == "$1F#"; });
    EXPECT_EQ(base1.texts().back(), "$1F#");
    // This rig hands the channel no parser: the text is kept as the base's.
    EXPECT_GE(rig.systemEntries(67), 3);

    Device stranger{"127.0.0.9", rig.settings.textPort};
    const size_t entries = rig.entries(true).size();
    stranger.sendText("$20 p10 a001234#", "127.0.0.1", rig.settings.textPort);
    settle(300);
    EXPECT_TRUE(stranger.received.empty());
    EXPECT_EQ(rig.entries(true).size(), entries);
}

TEST_F(Centre, OnlyEveryThirdUnframedTextIsAcknowledged) {
    const size_t before = base1.received.size();
    for (int i = 0; i < 3; ++i) base1.sendText("noise", "127.0.0.1", rig.settings.textPort);
    settle(2000, [&] { return base1.received.size() > before; });
    settle(100);
    ASSERT_EQ(base1.received.size(), before + 1);
    EXPECT_EQ(base1.texts().back(), "noi#");
}

TEST_F(Centre, AConfirmationToASilentBaseLeavesTheAlarmUnacknowledged) {
    rig.station->configFile().block().mode = 3;
    rig.texts.text = "%00 p90 gXX#";
    baseSilent = true;
    AlarmRecord alarm;
    alarm.subscriber = 1234;
    alarm.path = 7;
    alarm.flags = AlarmRecord::kTextToConfirm;
    rig.station->alarms().insert(alarm);
    const uint64_t before = rig.clock.tickMs();
    EXPECT_EQ(rig.station->alarms().enterService(0, false), -1);
    EXPECT_GE(rig.clock.tickMs() - before, 500u);
    EXPECT_TRUE(rig.station->alarms()[0].flags & AlarmRecord::kTextToConfirm);
    EXPECT_TRUE(rig.station->alarms()[0].inService());

    // The base answers: the mark goes.
    baseSilent = false;
    base1.respond = [](Device& self, const Bytes& got, const QHostAddress& from, uint16_t port) {
        self.sendText(std::string("%") + char(got[1]) + char(got[2]) + " #", from.toString().toStdString(), port);
    };
    EXPECT_EQ(rig.station->alarms().enterService(0, false), 0);
    EXPECT_FALSE(rig.station->alarms()[0].flags & AlarmRecord::kTextToConfirm);
}

TEST_F(Centre, AnOrderToAnEthernetSubscriberGoesToTheRegisteredAddress) {
    toEthernet(Bytes{7, 0, 0, 0, 0, 0, 0x12, 0x34, 'Y'});
    settle(2000, [&] { return !ethernet.received.empty(); });
    FrameBuffer& frame = rig.station->paths().frame();
    const Bytes block{17, 0, 0, 0, 0, 2, 1, 0x12, 0x34, 0x04, 0, 0, 0, 0, 0, 0, 0};
    std::copy(block.begin(), block.end(), frame.bytes.begin() + FrameBuffer::kStage180);
    EXPECT_EQ(rig.station->paths().poll(10, 2, 0), 2);
    settle(2000, [&] { return ethernet.received.size() >= 2; });
    ASSERT_EQ(ethernet.received.size(), 2u);
    EXPECT_EQ(ethernet.received[1].size(), 14u);
    EXPECT_EQ(ethernet.received[1][0], 12);
    EXPECT_EQ(ethernet.received[1][13], 'Y');
    // Nobody registered for another subscriber: no address, nothing sent.
    frame[FrameBuffer::kStage180 + 7] = 0x55;
    EXPECT_EQ(rig.station->paths().poll(10, 2, 0), 0xFFFF);
}

TEST_F(Centre, BadDatagramsAndAFloodLeaveReceptionGoing) {
    const std::vector<Bytes> bad = {
        {}, {7}, Bytes(64, 0), Bytes(65, 'Y'), Bytes(2048, 0x01), longForm(0x01, 1234, 1, 0x130, 5, 'Q'),
        {12, 0x01, 0, 0x12}, {200, 0x01, 0, 0x12, 0x34, 'Y'}, {8, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Bytes& b : bad) {
        toEthernet(b);
        toVgprs(b);
        base1.send(b, "127.0.0.1", rig.settings.textPort);
    }
    base1.sendText("%", "127.0.0.1", rig.settings.textPort);
    base1.sendText("%zz q#", "127.0.0.1", rig.settings.textPort);
    settle(500);
    EXPECT_TRUE(ethernet.received.empty());
    EXPECT_TRUE(vgprs.received.empty());

    // A thousand keep-alives from one transmitter: a handful answered.
    for (int i = 0; i < 1000; ++i) toEthernet(Bytes{7, 0, 0, 0, 0, 0, 0x12, static_cast<uint8_t>(0x30 + i % 10), 'Y'});
    settle(1500);
    EXPECT_LE(ethernet.received.size(), static_cast<size_t>(2 * ReplyLimiter::kPerSecond));
    // Another transmitter's report still goes through.
    toVgprs(longForm(0x01, 1235, 1, 0x110, 3, 'X'));
    settle(2000, [&] { return !vgprs.received.empty(); });
    EXPECT_EQ(rig.reports(1235, 0x110), 1);
}

TEST(UdpAllowedSenders, OnlyListedNetworksReportWhenTheFileIsThere) {
    UdpStation rig;
    rig.tmp.write("nadawcy.txt", "# nasze nadajniki\n127.0.0.5/32\n");
    Device listed{"127.0.0.5", rig.settings.ethernetPort};
    Device other{"127.0.0.4", rig.settings.ethernetPort};
    rig.start();
    rig.addSubscriber(1234);
    other.send(longForm(0x01, 1234, 1, 0x130, 5, 'Y'), "127.0.0.1", rig.settings.ethernetPort);
    listed.send(longForm(0x01, 1234, 1, 0x131, 5, 'Y'), "127.0.0.1", rig.settings.ethernetPort);
    settle(2000, [&] { return !listed.received.empty(); });
    settle(100);
    EXPECT_TRUE(other.received.empty());
    EXPECT_EQ(listed.received.size(), 1u);
    EXPECT_EQ(rig.reports(1234, 0x130), 0);
    EXPECT_EQ(rig.reports(1234, 0x131), 1);
    EXPECT_EQ(rig.station->udp().counters().notAllowed, 1u);
}

TEST(UdpLoop, AForgedKeepAliveCannotStartAnEndlessExchange) {
    UdpStation a{"127.0.0.1"};
    UdpStation b{"127.0.0.6"};
    b.settings.textPort = a.settings.textPort;
    b.settings.vgprsPort = a.settings.vgprsPort;
    b.settings.ethernetPort = a.settings.ethernetPort;
    a.start();
    b.start();
    // B's own socket sends A a keep-alive: to A it comes from another
    // centre, whose answer port is the one A answers at.
    const Bytes keepAlive{7, 0, 0, 0, 0, 0, 0x12, 0x34, 'Y'};
    b.station->udp().ethernetChannel().sendDatagram("127.0.0.1", kEthernetDatagramPort, keepAlive);
    settle(1500);
    EXPECT_LE(a.station->udp().counters().answers + b.station->udp().counters().answers, 3u);
    EXPECT_GE(a.station->udp().counters().answers, 1u);

    // A datagram from A's own socket to itself is never answered.
    const uint64_t before = a.station->udp().counters().answers;
    a.station->udp().ethernetChannel().sendDatagram("127.0.0.1", kEthernetDatagramPort, keepAlive);
    settle(300);
    EXPECT_EQ(a.station->udp().counters().answers, before);
    EXPECT_EQ(a.station->udp().counters().ownSockets, 1u);
}

TEST(UdpBind, ATakenPortIsToldOnceAndTheStationGoesOn) {
    ensureApplication();
    UdpStation rig;
    QUdpSocket taker;
    ASSERT_TRUE(taker.bind(QHostAddress("127.0.0.1"), rig.settings.ethernetPort));
    rig.station = std::make_unique<Station>(Station::Environment{
        DataDir(rig.tmp.path()), rig.ui, rig.clock, rig.ports,
        [&rig] { return std::make_unique<test::FakeSerialLine>(&rig.clock); }, [](int) {},
        [] { return std::make_unique<QtDatagramSocket>(); }, &rig.pump, rig.settings});
    ASSERT_EQ(rig.station->start(), 0);
    EXPECT_TRUE(rig.station->udp().bound(kUdpTextChannel));
    EXPECT_FALSE(rig.station->udp().bound(kUdpEthernetChannel));
    int told = 0;
    for (const auto& box : rig.ui.boxes) told += box.text.find(std::to_string(rig.settings.ethernetPort)) != std::string::npos;
    EXPECT_EQ(told, 1);
    rig.station->moduleCheck();
    told = 0;
    for (const auto& box : rig.ui.boxes) told += box.text.find(std::to_string(rig.settings.ethernetPort)) != std::string::npos;
    EXPECT_EQ(told, 1);
    taker.close();
    rig.station->moduleCheck();
    EXPECT_TRUE(rig.station->udp().bound(kUdpEthernetChannel));
}

// A transmitting centre forwards an alarm over the Ethernet path to the
// receiving base of another centre, over the real sockets: the forward's
// datagram arrives at the partner, an answer from another address or with
// another partner number changes nothing, and the partner's confirmation
// ends the wait and is told and logged.
TEST(UdpForwarding, AnEthernetForwardReachesThePartnerAndItsConfirmationEndsTheWait) {
    UdpStation rig("127.0.0.1", {}, [](ConfigBlock& c) {
        c.mode = 1;
        for (BaseEntry& b : c.bases) b.rsLink = 255;
        BaseEntry& partner = c.bases[0];
        std::snprintf(partner.name, sizeof partner.name, "Part~ner");
        const uint8_t address[4] = {127, 0, 0, 6};
        std::copy(address, address + 4, partner.ethAddress);
        partner.ethParam = 3;
    });
    Device transmitter{"127.0.0.4", rig.settings.ethernetPort};
    Device partner{"127.0.0.6", rig.settings.ethernetPort};
    Device stranger{"127.0.0.7", rig.settings.ethernetPort};
    rig.trackTexts = false; // the station's link to its Ethernet partners stays
    rig.start();
    // The periodic test of the path would take the one wait a path has.
    rig.station->scheduler().cancel(0, kSchedTestForw, kTestPathTe);
    {
        Sbscrbr s(rig.station->database(), ByNumber{1234});
        std::snprintf(s.record.name, sizeof s.record.name, "Abonent 1234");
        s.record.forw_flag1 = 0x0181; // base 1, Ethernet, automatic for alarms
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(rig.station->database(), rig.station->indexes(), s.record, offset),
                  kSubscriberSaved);
    }
    transmitter.send(longForm(0x01, 1234, 1, 0x130, 5, 'Y'), "127.0.0.1", rig.settings.ethernetPort);
    settle(3000, [&] { return !partner.received.empty(); });
    ASSERT_EQ(partner.received.size(), 1u);
    // The report as a transmitter would send it, to be confirmed, with the
    // base's partner number.
    const Bytes forward{12, 0x08, 0, 0x12, 0x34, 1, 0x13, 0x00, 0x05, 0, 0, 3, 0, 'Y'};
    EXPECT_EQ(partner.received[0], forward);
    const BaseEntry& base = rig.station->config().bases[0];
    EXPECT_TRUE(base.flags & kBaseAwaitsTe);
    EXPECT_TRUE(rig.station->scheduler().exists(1234, kSchedChkOrder, 0x80));

    Bytes confirmation = forward;
    confirmation[1] = 0x80;
    stranger.send(confirmation, "127.0.0.1", rig.settings.ethernetPort);
    Bytes otherNumber = confirmation;
    otherNumber[11] = 4;
    partner.send(otherNumber, "127.0.0.1", rig.settings.ethernetPort);
    settle(300);
    EXPECT_TRUE(base.flags & kBaseAwaitsTe) << "not this base's confirmation";

    partner.send(confirmation, "127.0.0.1", rig.settings.ethernetPort);
    settle(3000, [&] { return !(base.flags & kBaseAwaitsTe); });
    EXPECT_FALSE(base.flags & kBaseAwaitsTe);
    EXPECT_FALSE(rig.station->scheduler().exists(1234, kSchedChkOrder, 0x80));
    EXPECT_EQ(rig.systemEntries(47), 1);
    bool told = false;
    for (const auto& box : rig.ui.boxes)
        told |= box.text.find("Potwierdzenie przesłania alarmu z 1234 do bazy Partner w TE") != std::string::npos;
    EXPECT_TRUE(told);
    ASSERT_GT(rig.station->alarms().count(), 0);
    EXPECT_EQ(rig.station->alarms()[0].forward[0], 0x08) << "sent and confirmed";
    // Nothing more goes to the partner: no forward again, no reply to its
    // confirmation.
    EXPECT_EQ(partner.received.size(), 1u);
}

} // namespace
} // namespace k4

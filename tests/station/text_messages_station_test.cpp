// The whole station on loopback sockets with the network simulator in a
// process of its own: an Ethernet base sends a text message of every kind
// the bases send (reports, a report to confirm, a last report, probe and
// order answers, a partner's service answers, telephone findings, the
// telephone line lost and back, a partner's report and confirmation, a
// radio confirmation, link quality, a clock off), the simulator checks
// every acknowledgement and confirmation, and the history shows what each
// message meant. In "Std/Odb" the text a base attaches to a report is
// found by the alarm service while the path's delay lasts, and not after.
#include "shell/station.h"

#include "admin/installation.h"
#include "baselink/packet.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "history/history_reader.h"
#include "platform/qt_datagram_socket.h"
#include "sim/udp_player.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace k4 {
namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "tests_station";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
}

UdpSettings freePorts() {
    UdpSettings s;
    s.bindAddress = "127.0.0.1";
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

// A station in the given mode whose IP base table lists the simulator's
// two bases: 127.0.0.2 (a GSM base) and 127.0.0.3 (a radio base). Base
// entry 1 of the forwarding table is a GPRS partner at 10.0.0.9, entry 2
// a radio base at address 3.
struct TextStation {
    explicit TextStation(int mode) : settings(freePorts()) {
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        config.block().mode = static_cast<int16_t>(mode);
        config.block().inter_port = 1;
        config.block().data_port = 2;
        const uint8_t partner[4] = {10, 0, 0, 9};
        std::memcpy(config.block().bases[0].gprsAddress, partner, 4);
        config.block().bases[0].gsmParam = 2;
        config.block().bases[1].radio = 0x03;
        EXPECT_EQ(config.SaveConfig(1), 0);
        std::string pakiety = "1 7 12\n";
        for (int s = 1; s <= 7; ++s) pakiety += std::to_string(s) + " BRAK\n";
        pakiety += "127.0.0.2\n127.0.0.3\n";
        for (int k = 2; k < 12; ++k) pakiety += "0.0.0.0\n";
        pakiety += "ptarvik\nethernet\n";
        tmp.write("pakiety", pakiety);
    }
    ~TextStation() {
        if (station) station->stop();
    }
    void start() {
        station = std::make_unique<Station>(Station::Environment{
            DataDir(tmp.path()), ui, clock, ports, [this] { return std::make_unique<test::FakeSerialLine>(&clock); },
            [](int) {}, [] { return std::make_unique<QtDatagramSocket>(); }, &pump, settings});
        ASSERT_EQ(station->start(), 0);
        station->trace().setEnabled(true);
    }
    void addSubscriber(int number, const char* phone = "") {
        Sbscrbr s(station->database(), ByNumber{number});
        std::snprintf(s.record.name, sizeof s.record.name, "Abonent %d", number);
        std::snprintf(s.record.tel, sizeof s.record.tel, "%s", phone);
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    }
    std::vector<HistoryEntry> entries() const {
        std::vector<HistoryEntry> out;
        readHistoryFile(tmp.file("logf"), [&](const HistoryEntry& e) {
            out.push_back(e);
            return true;
        });
        return out;
    }
    std::vector<HistoryEntry> system(int kind) const {
        std::vector<HistoryEntry> out;
        for (const auto& e : entries())
            if (e.isSystem() && e.kindCode() == kind) out.push_back(e);
        return out;
    }
    std::vector<HistoryEntry> reports(int subscriber, int code) const {
        std::vector<HistoryEntry> out;
        for (const auto& e : entries())
            if (!e.isSystem() && e.subscriber == subscriber && e.kindCode() == code) out.push_back(e);
        return out;
    }
    // The simulator plays the scenario in a child process while the station
    // runs here; true when every answer was what the simulator expected.
    void play(const std::string& scenarioText, const std::function<void()>& whenBasesListen = {},
              const std::function<void()>& eachTurn = {}) {
        // A base sends its messages a little apart, as bases do: the station
        // answers any one address at most ten times a second.
        std::string paced;
        std::istringstream lines(scenarioText);
        for (std::string line; std::getline(lines, line);) {
            paced += line + "\n";
            if (line.rfind("message", 0) == 0 || line.rfind("confirm", 0) == 0) paced += "wait 0.2\n";
        }
        std::istringstream text(paced);
        std::string error;
        const auto scenario = sim::parseUdpScenario(text, error);
        ASSERT_TRUE(scenario) << error;
        const std::string logPath = tmp.file("symulator.log");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::ostringstream log;
            sim::UdpPlayOptions options;
            options.ports = {settings.textPort, settings.vgprsPort, settings.ethernetPort};
            options.answerTimeoutMs = 5000;
            options.lingerSeconds = 1;
            const auto result = sim::playUdpScenario(*scenario, options, log);
            log << result.passed << " passed, " << result.failed << " failed\n";
            std::ofstream(logPath) << log.str();
            ::_exit(result.failed == 0 ? 0 : 1);
        }
        // The bases bind their sockets first; the module check asks them.
        ::usleep(300'000);
        if (whenBasesListen) whenBasesListen();
        int status = -1;
        const auto began = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - began < std::chrono::seconds(60)) {
            clock.advanceMs(100);
            station->tick();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            ::usleep(5'000);
            if (eachTurn) eachTurn();
            if (::waitpid(child, &status, WNOHANG) == child) break;
        }
        if (!WIFEXITED(status)) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            FAIL() << "the simulator did not finish";
        }
        std::string trace;
        for (int i = 0; i < 20; ++i) trace += station->trace().line(i) + "\n";
        EXPECT_EQ(WEXITSTATUS(status), 0) << tmp.read("symulator.log") << "the station traced:\n" << trace;
    }

    test::TempDir tmp;
    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    ListedPorts ports;
    LoopPump pump{clock};
    UdpSettings settings;
    std::unique_ptr<Station> station;
};

TEST(TextMessagesStation, EveryKindOfMessageFromABaseLeavesItsEntries) {
    ensureApplication();
    TextStation rig(0);
    rig.play("base 0 127.0.0.2 91\n"
             "base 1 127.0.0.3 C2\n"
             "wait 3\n"
             "message 0 21 p90 a011234 m01130001\n"                 // a report
             "confirm 0 22 g0C08051235011200020000000059\n"       // a report to confirm
             "message 0 23 g0C01051234011300010000000159\n"       // a last report
             "message 0 24 a011234 j05\n"                           // a probe answer
             "message 0 25 a011234 j07\n"                           // an order refused
             "message 0 26 a011234 m01130001 y05\n"                 // a partner took it into service
             "message 0 27 a011234 m01130001 y0F\n"                 // ... and ended the service
             "message 0 28 p90 t700800900\n"                        // an unknown telephone
             "message 0 29 p90 t600100200\n"                        // a known one alone: periodic test
             "message 0 2A A011236 t600100200\n"                    // an incomplete report
             "message 0 2B u90008\n"                                // the telephone line lost
             "message 0 2C u90108\n"                                // ... and back
             "message 0 2D i0A000009 g0C09051234011300010000030059\n" // a partner's report
             "message 0 2E p90 i0A000009 g0C80051234011300010000020059\n" // a partner confirms
             "message 0 2F a031234 y02\n"                           // a radio base at address 3 confirms
             "message 0 30 p90 a011234 m01130001 s12034567\n"       // link quality
             "message 0 31 a011234 c20200101000000\n"               // the base's clock off
             "message 0 32 p90 a011234 t600100200 m01130001\n"      // a telephone of another
             "wait 1\n",
             [&] {
                 rig.start();
                 rig.addSubscriber(1234);
                 rig.addSubscriber(1235);
                 rig.addSubscriber(1236, "600100200");
             });
    ASSERT_TRUE(rig.station);
    const Packet* base = rig.station->paths().at(7);
    ASSERT_TRUE(base);
    const int type = base->transmissionType();

    // Reports: the three with code 130 of 1234 (21, 30, 32) and the last
    // report (23, subsystem 1 + 90), 1235's confirmed one.
    EXPECT_EQ(rig.reports(1234, 0x130).size(), 4u);
    int lastReports = 0;
    for (const auto& e : rig.reports(1234, 0x130)) lastReports += e.subsystem == 91;
    EXPECT_EQ(lastReports, 1);
    ASSERT_EQ(rig.reports(1235, 0x120).size(), 1u);
    EXPECT_EQ(rig.reports(1235, 0x120)[0].subsystem, 1);
    EXPECT_EQ(rig.reports(1235, 0x120)[0].sector & 0x0FFF, 2);
    // The report of the known telephone is its owner's periodic test.
    const int periodic = rig.station->config().special_codes[5];
    ASSERT_EQ(rig.reports(1236, periodic).size(), 1u);
    EXPECT_EQ(rig.reports(1236, periodic)[0].sector & 0x0FFF, 127);

    // The order refused, the partner's two service answers.
    ASSERT_EQ(rig.system(56).size(), 1u);
    EXPECT_EQ(rig.system(56)[0].subscriber, 1234);
    EXPECT_EQ(rig.system(56)[0].subsystem, 7);
    ASSERT_EQ(rig.system(72).size(), 1u);
    EXPECT_EQ(rig.system(72)[0].kind >> 12, type);
    EXPECT_EQ(rig.system(73).size(), 1u);
    // Telephones: unknown (43), of another subscriber (45), the incomplete
    // report (67).
    EXPECT_EQ(rig.system(43).size(), 1u);
    EXPECT_EQ(rig.system(45).size(), 1u);
    ASSERT_EQ(rig.system(67).size(), 1u);
    EXPECT_EQ(rig.system(67)[0].code2 & 0x0FFF, 3);
    // The line lost, told, and back.
    EXPECT_EQ(rig.system(11).size(), 1u);
    EXPECT_EQ(rig.system(10).size(), 1u);
    bool lineTold = false, incompleteTold = false;
    for (const auto& box : rig.ui.boxes) {
        lineTold = lineTold || box.text.find("Brak linii telef. w pakiecie") != std::string::npos;
        incompleteTold = incompleteTold || box.text.find("Niepełny meldunek: 600100200 1236") != std::string::npos;
    }
    EXPECT_TRUE(lineTold);
    EXPECT_TRUE(incompleteTold);
    // The partner's report answered and noted, the partner's and the radio
    // base's confirmations noted: three entries of kind 47.
    const auto forwards = rig.system(47);
    ASSERT_EQ(forwards.size(), 3u);
    EXPECT_EQ(forwards[0].subsystem, 1) << "the partner's report names base entry 1";
    EXPECT_EQ(forwards[0].kind >> 12, 4);
    EXPECT_EQ(forwards[1].kind >> 12, 4) << "confirmed over TG";
    EXPECT_EQ(forwards[2].kind >> 12, 2) << "confirmed over TR";
    EXPECT_EQ(forwards[2].subsystem, 2);
    // The base's clock, the link quality in "link.txt".
    EXPECT_EQ(rig.system(57).size(), 1u);
    EXPECT_FALSE(rig.tmp.read("link.txt").empty());
    // Every message was processed: nothing left in the intake journal.
    EXPECT_EQ(rig.station->intake().heldCount(), 0);
}

TEST(TextMessagesStation, TheAttachedTextIsSentBackWhileThePathsDelayLasts) {
    ensureApplication();
    TextStation rig(3);
    std::optional<AlarmRecord> alarm;
    int confirmed = -9;
    rig.play("base 0 127.0.0.2 91\n"
             "wait 3\n"
             "message 0 40 a011234 m01130001 x12AB34\n"
             "wait 3\n",
             [&] {
                 rig.start();
                 rig.addSubscriber(1234);
             },
             [&] {
                 // The operator takes the alarm while the base still listens.
                 if (alarm || !rig.station || rig.station->alarms().count() == 0) return;
                 alarm = rig.station->alarms()[0];
                 confirmed = rig.station->udp().confirmReport(*alarm);
             });
    ASSERT_TRUE(alarm);
    EXPECT_EQ(alarm->subscriber, 1234);
    EXPECT_TRUE(alarm->flags & AlarmRecord::kTextToConfirm);
    EXPECT_EQ(confirmed, 1) << "the base acknowledged the text";
    EXPECT_NE(rig.tmp.read("symulator.log").find("%07 y12AB34#"), std::string::npos) << rig.tmp.read("symulator.log");
    // The path's delay passes: the text is gone and the operator hears so.
    const int delay = rig.station->paths().at(7)->sendDelay;
    for (int i = 0; i < (delay + 1) * 10; ++i) {
        rig.clock.advanceMs(100);
        rig.station->tick();
    }
    rig.ui.boxes.clear();
    EXPECT_EQ(rig.station->udp().confirmReport(*alarm), 0);
    ASSERT_FALSE(rig.ui.boxes.empty());
    EXPECT_NE(rig.ui.boxes.back().text.find("Upłynął czas obsługi alarmu"), std::string::npos);
}

} // namespace
} // namespace k4

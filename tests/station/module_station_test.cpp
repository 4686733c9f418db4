// The whole station in the standard mode from a fresh installation, its
// module bus played by simulated modules behind the two serial ports, time
// in the test's hand: the module check, report blocks of several kinds, the
// probe cycle, an on-demand probe, a line fault and test supervision across
// a restart.
#include "shell/station.h"

#include "admin/installation.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "history/history_reader.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <optional>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct ListedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/k4-interface", "/dev/k4-data"}; }
};

// One module of the bus: its kind, the blocks it has to deliver (with the
// status that announces each), whether its line is down, and what the
// centre sent it.
struct SimModule {
    int kind = 0;
    std::deque<std::pair<int, Bytes>> blocks;
    int faultAnswers = 0;   // polls answered with status 15
    bool answersProbes = false;
    std::vector<Bytes> orders;
};

// The bus behind the interface and the data port, answering byte by byte
// as the modules do.
class ModuleBusSim {
public:
    std::array<std::optional<SimModule>, 7> slots;

    void attach(test::FakeSerialLine& interface, test::FakeSerialLine& data) {
        interface.respond = [this](test::FakeSerialLine& line, uint8_t byte) {
            selected_ = byte >= 1 && byte <= 7 ? byte - 1 : -1;
            line.send({selected_ >= 0 && slots[static_cast<size_t>(selected_)] ? 0x01 : 0x00});
        };
        data.respond = [this](test::FakeSerialLine& line, uint8_t byte) { onData(line, byte); };
    }

private:
    static int orderLength(int kind) { return kind == 0x10 || kind == 0x40 ? 3 : 6; }

    void onData(test::FakeSerialLine& line, uint8_t byte) {
        if (selected_ < 0 || !slots[static_cast<size_t>(selected_)]) return;
        SimModule& m = *slots[static_cast<size_t>(selected_)];
        if (awaitingAck_) {
            awaitingAck_ = false;
            if (byte == 0xCA) {
                m.blocks.pop_front();
                line.send({0xCA});
            }
            return;
        }
        if (orderLeft_ > 0) {
            order_.push_back(byte);
            if (--orderLeft_ == 0) {
                order_.pop_back(); // its checksum
                m.orders.push_back(order_);
                line.send({0xCA});
                if (m.answersProbes) {
                    // The panel answers the probe order: a probe answer block.
                    const int s = (order_[0] >> 4) * 1000 + (order_[0] & 0x0F) * 100 + (order_[1] >> 4) * 10 +
                                  (order_[1] & 0x0F);
                    m.blocks.push_back({1, probeAnswer(s)});
                }
            }
            return;
        }
        if (byte == 0x00) {
            line.send({m.kind});
            return;
        }
        if (byte < 1 || byte > 3) return;
        if (m.faultAnswers > 0) {
            --m.faultAnswers;
            line.send({0x0F});
            return;
        }
        if (!m.blocks.empty()) {
            const auto& [status, block] = m.blocks.front();
            std::vector<int> out{status};
            uint8_t sum = 0;
            for (uint8_t b : block) {
                out.push_back(b);
                sum = static_cast<uint8_t>(sum + b);
            }
            out.push_back(sum);
            line.send(std::vector<uint8_t>(out.begin(), out.end()));
            awaitingAck_ = true;
            return;
        }
        if (byte == 2) {
            line.send({0x02});
            orderLeft_ = orderLength(m.kind) + 1;
            order_.clear();
            return;
        }
        line.send({0x00});
    }

public:
    // A standard block of type 1 (probe answer): subsystem 0, code 0 and
    // the order code 4 as its sector.
    static Bytes probeAnswer(int s) {
        const int d[4] = {s / 1000, s / 100 % 10, s / 10 % 10, s % 10};
        return {static_cast<uint8_t>(0x10 | d[0]), static_cast<uint8_t>(d[1] << 4 | d[2]),
                static_cast<uint8_t>(d[3] << 4), 0x00, 0x00, 0x04};
    }
    // The extended radio block: subscriber digits, then code, subsystem and
    // sector digits, one digit a byte.
    static Bytes extendedRadio(int s, int code, int subsystem, int sector) {
        return {0, static_cast<uint8_t>(s / 1000), static_cast<uint8_t>(s / 100 % 10),
                static_cast<uint8_t>(s / 10 % 10), static_cast<uint8_t>(s % 10),
                static_cast<uint8_t>(code >> 8 & 15), static_cast<uint8_t>(code >> 4 & 15),
                static_cast<uint8_t>(code & 15), static_cast<uint8_t>(subsystem / 10),
                static_cast<uint8_t>(subsystem % 10), static_cast<uint8_t>(sector >> 8 & 15),
                static_cast<uint8_t>(sector >> 4 & 15), static_cast<uint8_t>(sector & 15), 0, 0};
    }

private:
    int selected_ = -1;
    bool awaitingAck_ = false;
    int orderLeft_ = 0;
    Bytes order_;
};

class ModuleStation {
public:
    ModuleStation() {
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 0;
        config.block().inter_port = 1;
        config.block().data_port = 2;
        EXPECT_EQ(config.SaveConfig(1), 0);
    }
    ~ModuleStation() {
        if (station) station->stop();
    }

    void start() {
        lines.clear();
        station = std::make_unique<Station>(Station::Environment{
            DataDir(tmp.path()), ui, clock, ports,
            [this] {
                auto line = std::make_unique<test::FakeSerialLine>(&clock);
                lines.push_back(line.get());
                if (lines.size() == 2) bus.attach(*lines[0], *lines[1]);
                return line;
            },
            [](int) {}});
        ASSERT_EQ(station->start(), 0);
        station->trace().setEnabled(true);
    }
    void restart() {
        station->stop();
        station.reset();
        start();
    }

    void addSubscriber(int number, const std::function<void(SubscriberRecord&)>& edit = {}) {
        Sbscrbr s(station->database(), ByNumber{number});
        std::snprintf(s.record.name, sizeof s.record.name, "Abonent %d", number);
        if (edit) edit(s.record);
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(100);
            station->tick();
        }
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
    int special(int index) const { return station->config().special_codes[index]; }

    test::TempDir tmp;
    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    ListedPorts ports;
    ModuleBusSim bus;
    std::vector<test::FakeSerialLine*> lines;
    std::unique_ptr<Station> station;
};

TEST(ModuleStation, TheModuleCheckFindsAndNumbersEverySimulatedModule) {
    ModuleStation rig;
    for (int s : {0, 1, 2}) rig.bus.slots[static_cast<size_t>(s)] = SimModule{0x30};
    rig.bus.slots[2]->kind = 0x20;
    rig.bus.slots[3] = SimModule{0x10};
    rig.bus.slots[5] = SimModule{0xB0};
    rig.start();
    PathTable& paths = rig.station->paths();
    EXPECT_EQ(paths.at(0)->number, 0);
    EXPECT_EQ(paths.at(1)->number, 1);
    EXPECT_EQ(paths.at(2)->number, 2) << "after the two dial-up receivers";
    EXPECT_EQ(paths.at(4), nullptr);
    EXPECT_EQ(rig.tmp.read("pakiety").rfind("1 7 12\n1 30\n2 30\n3 20\n4 10\n5 BRAK\n6 B0\n7 BRAK\n0.0.0.0\n", 0), 0u);
    // The panel's cells: the probed kinds only (not the calling-out 0x20).
    const auto cells = rig.station->checkedPaths();
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0].name, "TK");
    EXPECT_EQ(cells[2].name, "TR");
    EXPECT_EQ(cells[3].name, "TG");
}

TEST(ModuleStation, ReportBlocksOfEachKindBecomeEntriesAndAlarms) {
    ModuleStation rig;
    rig.bus.slots[0] = SimModule{0x10};
    rig.bus.slots[1] = SimModule{0x30};
    rig.bus.slots[2] = SimModule{0x50};
    rig.bus.slots[3] = SimModule{0x70};
    rig.start();
    rig.addSubscriber(1001);
    // Radio, extended: burglary 0x130 in subsystem 1, sector 3.
    rig.bus.slots[0]->blocks.push_back({4, ModuleBusSim::extendedRadio(1001, 0x130, 1, 3)});
    // Dial-up, standard: subscriber 1234, subsystem 1, code 0x30, sector 0x123.
    rig.bus.slots[1]->blocks.push_back({1, {0x01, 0x23, 0x40, 0x13, 0x01, 0x23}});
    // ADEMCO: subscriber 1002 (0xA is 0), code 0x13.
    rig.bus.slots[2]->blocks.push_back({1, {0x01, 0xAA, 0x21, 0x30, 0x00, 0x00}});
    // Contact Id type 1: subscriber 1003, code 0x13.
    rig.bus.slots[3]->blocks.push_back({1, {0x01, 0x10, 0x03, 0x01, 0x30, 0, 0, 0, 0, 0}});
    rig.ticks(40);
    for (int s = 0; s < 4; ++s) EXPECT_TRUE(rig.bus.slots[static_cast<size_t>(s)]->blocks.empty()) << s;

    struct Expect {
        int subscriber, code, type, base;
    };
    // ADEMCO and Contact Id count as one group: the Contact Id module is the
    // second of it.
    for (const Expect& e : std::initializer_list<Expect>{
             {1001, 0x130, kPathRadio, 1}, {1234, 0x030, kPathDialUp, 1}, {1002, 0x013, kPathAdemco, 1},
             {1003, 0x013, kPathContactId, 2}}) {
        bool found = false;
        for (const auto& entry : rig.entries(false))
            if (entry.subscriber == e.subscriber && entry.kindCode() == e.code) {
                found = true;
                EXPECT_EQ(entry.kind >> 12, e.type) << e.subscriber;
                EXPECT_EQ(entry.code2 >> 12, e.base) << e.subscriber;
            }
        EXPECT_TRUE(found) << e.subscriber;
    }
    // The burglary of a known subscriber is an alarm, on its path.
    bool alarm = false;
    for (int i = 0; i < rig.station->alarms().count(); ++i) {
        const AlarmRecord& a = rig.station->alarms()[i];
        if (a.subscriber == 1001 && a.sector == 3) {
            alarm = true;
            EXPECT_EQ(a.path, 0);
        }
    }
    EXPECT_TRUE(alarm);
}

TEST(ModuleStation, ProbeCycleAnAnsweringAndASilentSubscriber) {
    ModuleStation rig;
    rig.bus.slots[0] = SimModule{0x10};
    rig.bus.slots[0]->answersProbes = true;
    rig.bus.slots[1] = SimModule{0x40};
    rig.start();
    rig.addSubscriber(2001, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x02; });
    rig.addSubscriber(2002, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x04; });
    // "&Pakiety" again: the lists now hold them, the probes restart.
    ASSERT_EQ(rig.station->moduleCheck(), 0);
    struct Panel final : CheckingObserver {
        std::vector<CheckEntry> added, updated;
        void addEntry(const CheckEntry& e) override { added.push_back(e); }
        void updateEntry(const CheckEntry& e) override { updated.push_back(e); }
    } panel;
    rig.station->paths().setCheckingObserver(&panel);
    rig.ticks(400); // 40 s: several probe periods of the radio paths

    // The radio subscriber answered: "OK", no report of a missing answer.
    ASSERT_FALSE(rig.bus.slots[0]->orders.empty());
    EXPECT_EQ(rig.bus.slots[0]->orders[0], (Bytes{0x20, 0x01, 4}));
    EXPECT_EQ(rig.reports(2001, rig.special(7)), 0);
    // The fixed-line subscriber stays silent: three orders, then code 7.
    EXPECT_GE(rig.bus.slots[1]->orders.size(), 3u);
    EXPECT_GE(rig.reports(2002, rig.special(7)), 1);
    bool ok = false, silent = false, running = false;
    for (const auto& e : panel.updated) {
        if (e.subscriber == 2001 && e.state == kCheckAnswered) ok = true;
        if (e.subscriber == 2002 && e.state == kCheckSilent) silent = true;
    }
    for (const auto& e : panel.added) running |= e.state == kCheckRunning;
    EXPECT_TRUE(ok);
    EXPECT_TRUE(silent);
    EXPECT_TRUE(running);
    rig.station->paths().setCheckingObserver(nullptr);
}

TEST(ModuleStation, AnOnDemandProbeAskedTwiceIsRefusedTheSecondTime) {
    ModuleStation rig;
    rig.bus.slots[0] = SimModule{0x10};
    rig.start();
    rig.addSubscriber(3001, [](SubscriberRecord& r) { r.tracks = 0x02; });
    EXPECT_EQ(rig.station->paths().RequestProbe(0, 3001), 0);
    EXPECT_EQ(rig.station->paths().RequestProbe(0, 3001), -1);
    ASSERT_EQ(rig.ui.boxes.size(), 1u);
    EXPECT_EQ(rig.ui.boxes[0].text, " Abonent 3001 jest aktualnie badany na żądanie.");
    EXPECT_EQ(rig.systemEntries(51), 1);
}

TEST(ModuleStation, ALineFaultIsCountedToOneEntryAndOneBox) {
    ModuleStation rig;
    rig.bus.slots[0] = SimModule{0x30};
    rig.start();
    rig.bus.slots[0]->faultAnswers = 30;
    rig.ticks(40);
    EXPECT_EQ(rig.systemEntries(11), 1);
    int boxes = 0;
    for (const auto& box : rig.ui.boxes) boxes += box.text.find("Brak linii telef. w pakiecie TK1") != std::string::npos;
    EXPECT_EQ(boxes, 1);
    // The line comes back when the counter has run down.
    rig.ticks(40);
    EXPECT_EQ(rig.systemEntries(10), 1);
}

TEST(ModuleStation, AMissingTestBecomesBrakTestuAtItsDeadlineAndSurvivesARestart) {
    ModuleStation rig;
    rig.bus.slots[0] = SimModule{0x10};
    rig.start();
    rig.addSubscriber(4001, [](SubscriberRecord& r) {
        r.tracks = 0x02;
        r.test_type1 = 2; // once a day
        r.test_delay1 = 15;
        r.test_track1 = 1; // radio
        r.test_flags = static_cast<uint16_t>((r.test_flags & 0xFFF0) | kTest1Active);
    });
    // The deadline entries are made at start: the station starts again.
    rig.restart();
    ASSERT_TRUE(rig.station->scheduler().exists(4001, kSchedCheckTest, 2));

    // A periodic test report ten hours on restarts the deadline.
    rig.clock.advanceSeconds(10 * 3600);
    rig.bus.slots[0]->blocks.push_back({4, ModuleBusSim::extendedRadio(4001, rig.special(5), 0, 0)});
    rig.ticks(10);
    ASSERT_TRUE(rig.bus.slots[0]->blocks.empty());

    // Stopped and started again, the deadline comes back from "events".
    rig.restart();
    ASSERT_TRUE(rig.station->scheduler().exists(4001, kSchedCheckTest, 2));
    // Nothing at the first deadline (it moved); at the new one, "BRAK TESTU".
    rig.clock.advanceSeconds(14 * 3600 + 900 + 60);
    rig.ticks(50);
    EXPECT_EQ(rig.reports(4001, rig.special(0)), 0);
    rig.clock.advanceSeconds(10 * 3600);
    rig.ticks(50);
    EXPECT_EQ(rig.reports(4001, rig.special(0)), 1);
    Sbscrbr s(rig.station->database(), ByNumber{4001});
    EXPECT_EQ(s.record.test_miss1, 1);
    EXPECT_TRUE(rig.station->scheduler().exists(4001, kSchedCheckTest, 2)) << "waits for the next day";
}

} // namespace
} // namespace k4

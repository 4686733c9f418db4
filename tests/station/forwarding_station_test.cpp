// A transmitting centre (mode "Nadawcza") from a fresh installation with two
// receiving bases of other centres: the first behind serial base link 1 and
// on radio, the second reached by GSM. The module bus and the far base are
// played in the test, time is in the test's hand. Alarms go out on the paths
// their subscribers' forwarding words name, confirmations come back or do
// not, a path test fails, and orders go to panels with their retry.
#include "shell/station.h"

#include "admin/installation.h"
#include "baselink/probe_orders.h"
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

struct ThreePorts final : SerialPortList {
    std::vector<std::string> presentPorts() override {
        return {"/dev/k4-interface", "/dev/k4-data", "/dev/k4-base1"};
    }
};

// One module: its kind, the blocks it still has to deliver with the status
// announcing each, how many orders it refuses before it takes one, whether
// it has gone silent, and every order or forward it took.
struct Module {
    int kind = 0;
    std::deque<std::pair<int, Bytes>> blocks;
    int refusals = 0;
    bool silent = false;
    std::vector<Bytes> taken;
};

class Bus {
public:
    std::array<std::optional<Module>, 7> slots;

    void attach(test::FakeSerialLine& interface, test::FakeSerialLine& data) {
        interface.respond = [this](test::FakeSerialLine& line, uint8_t byte) {
            selected_ = byte >= 1 && byte <= 7 ? byte - 1 : -1;
            line.send({selected_ >= 0 && slots[static_cast<size_t>(selected_)] ? 0x01 : 0x00});
        };
        data.respond = [this](test::FakeSerialLine& line, uint8_t byte) { onData(line, byte); };
    }

private:
    static int orderLength(int kind, int mode, uint8_t first, const Bytes& sofar) {
        if (kind == 0x10 || kind == 0x40) return mode == 3 ? 15 : 3;
        if (kind == 0x90) return sofar.size() >= 5 && (sofar[4] & 0x0F) == 0x0F ? 6 : 11;
        (void)first;
        return 6;
    }

    void onData(test::FakeSerialLine& line, uint8_t byte) {
        if (selected_ < 0 || !slots[static_cast<size_t>(selected_)]) return;
        Module& m = *slots[static_cast<size_t>(selected_)];
        if (m.silent) return;
        if (awaitingAck_) {
            awaitingAck_ = false;
            if (byte == 0xCA) m.blocks.pop_front();
            return;
        }
        if (taking_) {
            order_.push_back(byte);
            const int length = orderLength(m.kind, mode_, order_[0], order_);
            if (static_cast<int>(order_.size()) == length + 1) {
                taking_ = false;
                order_.pop_back(); // its checksum
                m.taken.push_back(order_);
                line.send({0xCA});
            }
            return;
        }
        if (byte == 0x00) {
            line.send({m.kind});
            return;
        }
        if (byte < 1 || byte > 3) return;
        if (byte == 1 && !m.blocks.empty()) {
            const auto& [status, block] = m.blocks.front();
            std::vector<uint8_t> out{static_cast<uint8_t>(status)};
            uint8_t sum = 0;
            for (uint8_t b : block) {
                out.push_back(b);
                sum = static_cast<uint8_t>(sum + b);
            }
            out.push_back(sum);
            line.send(out);
            awaitingAck_ = true;
            return;
        }
        if (byte >= 2) {
            if (m.refusals > 0) {
                --m.refusals;
                line.send({0x00});
                return;
            }
            line.send({0x02});
            taking_ = true;
            mode_ = byte;
            order_.clear();
            return;
        }
        line.send({0x00});
    }

    int selected_ = -1;
    bool awaitingAck_ = false;
    bool taking_ = false;
    int mode_ = 0;
    Bytes order_;
};

// The receiving base of the other centre on serial link 1: it takes every
// whole frame and answers LF CR, or stays silent when told to.
struct FarBase {
    std::vector<Bytes> frames;
    bool answers = true;
    Bytes current;

    void attach(test::FakeSerialLine& line) {
        line.respond = [this](test::FakeSerialLine& l, uint8_t byte) {
            if (current.empty() && byte != 0x0A) return;
            current.push_back(byte);
            if (current.size() >= 2 && current.size() == static_cast<size_t>(current[1]) + 4) {
                frames.push_back(current);
                current.clear();
                if (answers) l.send({0x0A, 0x0D});
            }
        };
    }
};

class FakeClockAdjuster final : public ClockAdjuster {
public:
    std::vector<int64_t> moves;
    std::optional<std::string> refusal;
    std::optional<std::string> moveBy(int64_t ms) override {
        moves.push_back(ms);
        return refusal;
    }
};

constexpr int kBurglary = 0x130;

class ForwardingStation {
public:
    ForwardingStation() {
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        ConfigBlock& c = config.block();
        c.mode = 1;
        c.inter_port = 1;
        c.data_port = 2;
        c.base1_port = 3;
        c.base1_speed = 9600;
        BaseEntry& first = c.bases[0];
        std::snprintf(first.name, sizeof first.name, "Ba~za1");
        first.rsLink = 2;
        first.radio = 0x01;
        BaseEntry& second = c.bases[1];
        std::snprintf(second.name, sizeof second.name, "Centrum2");
        second.rsLink = 255;
        std::snprintf(second.gsmNumber, sizeof second.gsmNumber, "600100200");
        second.gsmParam = 2;
        for (int b = 2; b < kBaseEntries; ++b) c.bases[b].rsLink = 255;
        EXPECT_EQ(config.SaveConfig(1), 0);
        bus.slots[0] = Module{0x10};
        bus.slots[1] = Module{0x90};
        bus.slots[2] = Module{0x30};
        bus.slots[3] = Module{0x20};
        bus.slots[4] = Module{0x40};
    }
    ~ForwardingStation() {
        if (station) station->stop();
    }

    void start(bool keepPathTests = false) {
        lines.clear();
        Station::Environment env{DataDir(tmp.path()), ui, clock, ports,
                                 [this] {
                                     auto line = std::make_unique<test::FakeSerialLine>(&clock);
                                     lines.push_back(line.get());
                                     if (lines.size() == 2) bus.attach(*lines[0], *lines[1]);
                                     if (lines.size() == 3) far.attach(*lines[2]);
                                     return line;
                                 },
                                 [](int) {}};
        env.clockAdjuster = &adjuster;
        station = std::make_unique<Station>(env);
        ASSERT_EQ(station->start(), 0);
        if (!keepPathTests) station->scheduler().cancel(0, kSchedTestForw, 0);
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
    // A dial-up or radio report block of the subscriber over the module in a slot.
    void radioReport(int slot, int subscriber, int code, int subsystem, int sector) {
        const int s = subscriber;
        bus.slots[static_cast<size_t>(slot)]->blocks.push_back(
            {4, Bytes{0, static_cast<uint8_t>(s / 1000), static_cast<uint8_t>(s / 100 % 10),
                      static_cast<uint8_t>(s / 10 % 10), static_cast<uint8_t>(s % 10),
                      static_cast<uint8_t>(code >> 8 & 15), static_cast<uint8_t>(code >> 4 & 15),
                      static_cast<uint8_t>(code & 15), static_cast<uint8_t>(subsystem / 10),
                      static_cast<uint8_t>(subsystem % 10), static_cast<uint8_t>(sector >> 8 & 15),
                      static_cast<uint8_t>(sector >> 4 & 15), static_cast<uint8_t>(sector & 15), 0, 0}});
    }
    std::vector<HistoryEntry> system(int kind) const {
        std::vector<HistoryEntry> out;
        readHistoryFile(tmp.file("logf"), [&](const HistoryEntry& e) {
            if (e.isSystem() && e.kindCode() == kind) out.push_back(e);
            return true;
        });
        return out;
    }
    bool shown(const std::string& utf8) const {
        for (const auto& box : ui.boxes)
            if (box.text.find(utf8) != std::string::npos) return true;
        return false;
    }
    const AlarmRecord* alarmOf(int subscriber) const {
        for (int i = 0; i < station->alarms().count(); ++i)
            if (station->alarms()[i].subscriber == subscriber) return &station->alarms()[i];
        return nullptr;
    }
    const BaseEntry& base(int b) const { return station->config().bases[b]; }

    test::TempDir tmp;
    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    ThreePorts ports;
    Bus bus;
    FarBase far;
    FakeClockAdjuster adjuster;
    std::vector<test::FakeSerialLine*> lines;
    std::unique_ptr<Station> station;
};

TEST(ForwardingStation, AnAlarmGoesOutOnEveryPathItsWordsNameWithTheRightBytes) {
    ForwardingStation rig;
    rig.start();
    // Word 1: base 1 on RS and radio, automatic for alarms; word 2: base 2
    // on GSM, the same mode.
    rig.addSubscriber(1001, [](SubscriberRecord& r) {
        r.forw_flag1 = 0x0131;
        r.forw_flag2 = 0x0241;
    });
    rig.radioReport(0, 1001, kBurglary, 1, 3);
    rig.ticks(40);

    const AlarmRecord* alarm = rig.alarmOf(1001);
    ASSERT_NE(alarm, nullptr);
    // RS: the frame of the forwarded report, decimal subscriber, the rest hex.
    ASSERT_EQ(rig.far.frames.size(), 1u);
    const Bytes rs = rig.far.frames[0];
    const Bytes expected{0x0A, 15, 0x11, '2', '1', '0', '0', '1', 0x14, '1', '3', '0', '0', '1', '0', '0', '3', 0x0D};
    ASSERT_EQ(rs.size(), expected.size() + 1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), rs.begin()));
    // TR: fifteen digits, the base's radio address first.
    ASSERT_EQ(rig.bus.slots[0]->taken.size(), 1u);
    EXPECT_EQ(rig.bus.slots[0]->taken[0], (Bytes{1, 1, 0, 0, 1, 1, 3, 0, 0, 1, 0, 0, 3, 0, 0}));
    // TG over GSM: the base's number packed, its parameter, then the report.
    ASSERT_EQ(rig.bus.slots[1]->taken.size(), 1u);
    FrameBuffer f;
    stageGsmForward(f, "600100200", 2, 1001, kBurglary, 1, 3);
    EXPECT_EQ(rig.bus.slots[1]->taken[0], Bytes(f.bytes.begin() + 180, f.bytes.begin() + 191));

    // RS done; TR and TG sent and waiting for their confirmations.
    EXPECT_EQ(alarm->forward[0], 0x20 | 0x01 | 0x02);
    EXPECT_EQ(alarm->forward[1], 0x40 | 0x04);
    EXPECT_TRUE(rig.base(0).flags & kBaseAwaitsTr);
    EXPECT_TRUE(rig.base(1).flags & kBaseAwaitsTg);
    EXPECT_TRUE(rig.station->scheduler().exists(1001, kSchedChkOrder, 0x20));
    EXPECT_TRUE(rig.station->scheduler().exists(1001, kSchedChkOrder, 0x41));
    // Automatic forwards are logged and stay silent.
    ASSERT_EQ(rig.system(kHistoryForwarded).size(), 2u);
    EXPECT_EQ(rig.system(kHistoryForwarded)[0].kind >> 12, 0x1 | 0x2);
    EXPECT_FALSE(rig.shown("wysłany"));
}

TEST(ForwardingStation, AConfirmationClearsTheWaitAndAMissingOneIsToldAtItsDeadline) {
    ForwardingStation rig;
    rig.start();
    rig.addSubscriber(1001, [](SubscriberRecord& r) {
        r.forw_flag1 = 0x0121; // base 1, radio
        r.forw_flag2 = 0x0241; // base 2, GSM
    });
    rig.radioReport(0, 1001, kBurglary, 1, 3);
    rig.ticks(20);
    ASSERT_TRUE(rig.base(0).flags & kBaseAwaitsTr);
    // The base answers over radio: status 5, its radio address and the subscriber.
    rig.bus.slots[0]->blocks.push_back({5, Bytes{1, 1, 0, 0, 1}});
    rig.ticks(20);
    EXPECT_FALSE(rig.base(0).flags & kBaseAwaitsTr);
    EXPECT_FALSE(rig.station->scheduler().exists(1001, kSchedChkOrder, 0x20));
    const AlarmRecord* alarm = rig.alarmOf(1001);
    ASSERT_NE(alarm, nullptr);
    EXPECT_EQ(alarm->forward[0], 0x02) << "sent and confirmed";
    ASSERT_EQ(rig.system(kHistoryConfirmed).size(), 1u);
    EXPECT_EQ(rig.system(kHistoryConfirmed)[0].kind >> 12, 2);
    EXPECT_EQ(rig.system(kHistoryConfirmed)[0].subscriber, 1001);
    EXPECT_EQ(rig.system(kHistoryConfirmed)[0].subsystem, 1);
    EXPECT_TRUE(rig.shown("Potwierdzenie przesłania alarmu z 1001 do bazy Baza1 w TR"));

    // No word from base 2 within 45 s.
    rig.ticks(460);
    EXPECT_FALSE(rig.base(1).flags & kBaseAwaitsTg);
    EXPECT_EQ(alarm->forward[1], 0x40) << "to be sent again";
    ASSERT_EQ(rig.system(kHistoryNoConfirmation).size(), 1u);
    EXPECT_EQ(rig.system(kHistoryNoConfirmation)[0].subsystem, 2);
    EXPECT_TRUE(rig.shown("BRAK potwierdzenia przesłania alarmu z 1001 do bazy Centrum2 w TG"));
}

TEST(ForwardingStation, StrayConfirmationsMarkNothingAndLeaveNothingWaiting) {
    ForwardingStation rig;
    rig.start();
    rig.addSubscriber(1001, [](SubscriberRecord& r) { r.forw_flag1 = 0x0121; });
    rig.radioReport(0, 1001, kBurglary, 1, 3);
    rig.ticks(20);
    const AlarmRecord* alarm = rig.alarmOf(1001);
    ASSERT_NE(alarm, nullptr);
    ForwardingSupervision& s = rig.station->forwarding();
    // A base index out of range, a path bit of no path, a subscriber that
    // does not exist: nothing of the alarm changes.
    s.ConfirmForwarding(1001, 16, 0x20);
    s.ConfirmForwarding(1001, -1, 0x20);
    s.ConfirmForwarding(1001, 0, 0x10);
    s.ConfirmForwarding(4321, 0, 0x40);
    EXPECT_EQ(alarm->forward[0], 0x20 | 0x02);
    // A missing-confirmation entry that names another subscriber is told.
    s.missingConfirmation(4321, 0x20);
    EXPECT_TRUE(rig.shown("BLAD FORWARD RADIO"));
    s.missingConfirmation(1001, 0x10); // no path: ignored
    // The real deadline still comes and ends the wait.
    rig.ticks(80);
    EXPECT_FALSE(rig.base(0).flags & kBaseAwaitsTr);
    EXPECT_EQ(rig.system(kHistoryNoConfirmation).size(), 1u);
}

TEST(ForwardingStation, AFailingRadioTestIsCountedReportedAndRetried) {
    ForwardingStation rig;
    rig.bus.slots[0]->refusals = 1000; // the radio module never takes a forward
    rig.start(true);
    rig.ticks(15); // the tests start a second after the start
    ASSERT_EQ(rig.system(kHistoryPathTestFailed).size(), 1u);
    EXPECT_EQ(rig.system(kHistoryPathTestFailed)[0].subscriber, 1);
    EXPECT_EQ(rig.system(kHistoryPathTestFailed)[0].subsystem, 1) << "TR";
    EXPECT_TRUE(rig.shown("Brak komunikacji z bazą odbiorczą Baza1 w TR"));
    EXPECT_EQ(rig.station->forwarding().failures(0, kTestPathTr), 1);
    // The RS test frame went out on the serial link (the empty frame).
    ASSERT_FALSE(rig.far.frames.empty());
    EXPECT_EQ(rig.far.frames[0], (Bytes{0x0A, 0x00, 0x0D, 0x17}));
    // Three more failures a minute apart, then an hour and a minute's rest.
    for (int i = 0; i < 3; ++i) rig.ticks(600);
    EXPECT_EQ(rig.system(kHistoryPathTestFailed).size(), 4u);
    EXPECT_EQ(rig.station->forwarding().failures(0, kTestPathTr), 0);
    rig.ticks(3000);
    EXPECT_EQ(rig.system(kHistoryPathTestFailed).size(), 4u);
}

TEST(ForwardingStation, ATestConfirmedByTheBaseResetsItsCountSilently) {
    ForwardingStation rig;
    rig.start(true);
    rig.ticks(15);
    ASSERT_TRUE(rig.base(0).flags & kBaseAwaitsTr);
    EXPECT_EQ(rig.base(0).trSubscriber, kTestSubscriber);
    const size_t boxes = rig.ui.boxes.size();
    rig.station->forwarding().ConfirmForwarding(kTestSubscriber, 0, 0x20);
    EXPECT_FALSE(rig.base(0).flags & kBaseAwaitsTr);
    EXPECT_EQ(rig.ui.boxes.size(), boxes);
    EXPECT_TRUE(rig.system(kHistoryConfirmed).empty());
    rig.ticks(100);
    EXPECT_TRUE(rig.system(kHistoryPathTestFailed).empty());
}

// Orders: the first attempt at once, the second 10 s later, each outcome
// told and logged.
TEST(ForwardingStation, OrdersSucceedAtOnceAtTheRetryOrNotAtAll) {
    ForwardingStation rig;
    rig.start();
    rig.addSubscriber(3001);
    OrderSending& orders = rig.station->orders();
    // Over the radio module: taken at once.
    ASSERT_EQ(orders.sendOrder(3001, 0, 0x11), 0);
    ASSERT_EQ(rig.bus.slots[0]->taken.size(), 1u);
    EXPECT_EQ(rig.bus.slots[0]->taken[0], (Bytes{0x30, 0x01, 0x11}));
    auto sent = rig.system(kHistoryOrderSent);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subsystem, 0x11);
    const int pathByte = (sent[0].kind >> 12) << 4 | (sent[0].code2 >> 12);
    EXPECT_EQ(pathByte, (rig.station->paths().at(0)->typeIndex << 4) | 1);
    EXPECT_TRUE(rig.shown("Wysłano rozkaz 11 (11)-"));
    EXPECT_EQ(rig.station->paths().at(0)->busy, 0u);

    // Over the fixed line: refused once, taken at the retry.
    rig.bus.slots[4]->refusals = 1;
    ASSERT_EQ(orders.sendOrder(3001, 4, 0x12), 0);
    EXPECT_EQ(rig.station->paths().at(4)->busy, 1u);
    EXPECT_TRUE(rig.station->scheduler().exists(3001, kSchedSendOrder, 0));
    rig.ticks(105);
    EXPECT_EQ(rig.bus.slots[4]->taken.size(), 1u);
    EXPECT_EQ(rig.system(kHistoryOrderSent).size(), 2u);
    EXPECT_EQ(rig.station->paths().at(4)->busy, 0u);

    // Refused twice: the failure is told, nothing is logged, nothing stays.
    rig.bus.slots[4]->refusals = 2;
    ASSERT_EQ(orders.sendOrder(3001, 4, 0x13), 0);
    rig.ticks(105);
    EXPECT_TRUE(rig.shown("Próba wysłania rozkazu 13 zakończyła się niepowodzeniem!"));
    EXPECT_EQ(rig.system(kHistoryOrderSent).size(), 2u);
    EXPECT_EQ(rig.station->paths().at(4)->busy, 0u);
    EXPECT_FALSE(rig.station->scheduler().exists(3001, kSchedSendOrder, 0));
    Sbscrbr s(rig.station->database(), ByNumber{3001});
    uint8_t extra[kExtraSize];
    ASSERT_EQ(s.ReadExtra(extra), 0);
    EXPECT_EQ(extra[2], 0);
}

TEST(ForwardingStation, AnOrderWhosePathVanishedBeforeTheRetryEndsAndIsTold) {
    ForwardingStation rig;
    rig.start();
    rig.addSubscriber(3002);
    rig.bus.slots[4]->refusals = 1;
    ASSERT_EQ(rig.station->orders().sendOrder(3002, 4, 0x21), 0);
    // The module is taken out and the bus checked again before the retry.
    rig.bus.slots[4].reset();
    ASSERT_EQ(rig.station->moduleCheck(), 0);
    ASSERT_EQ(rig.station->paths().at(4), nullptr);
    rig.ticks(105);
    EXPECT_TRUE(rig.shown("Próba wysłania rozkazu 21 zakończyła się niepowodzeniem!"));
    EXPECT_FALSE(rig.station->scheduler().exists(3002, kSchedSendOrder, 0));
    Sbscrbr s(rig.station->database(), ByNumber{3002});
    uint8_t extra[kExtraSize];
    ASSERT_EQ(s.ReadExtra(extra), 0);
    EXPECT_EQ(extra[2], 0) << "no order left pending";
}

TEST(ForwardingStation, AUserTestOverASwitchedPathIsAnsweredThroughTheDialOutModule) {
    ForwardingStation rig;
    rig.start();
    rig.addSubscriber(1234, [](SubscriberRecord& r) { std::snprintf(r.tel, sizeof r.tel, "221234567"); });
    const int userTest = rig.station->config().special_codes[3];
    // The user test as the dial-up receiver in slot 3 reports it.
    Report r;
    r.subscriber = 1234;
    r.subsystem = 1;
    r.code = userTest;
    r.sector = 0;
    r.path = 3;
    rig.station->processing().processReport(r);
    ASSERT_EQ(rig.bus.slots[2]->taken.size(), 1u) << "the first dial-out module carries the answer";
    FrameBuffer f;
    stageDialUpProbe(f, "221234567", 3);
    EXPECT_EQ(rig.bus.slots[2]->taken[0], Bytes(f.bytes.begin() + 180, f.bytes.begin() + 186));
    // Over a 0x30 module the answer is an ordinary order: told and logged.
    EXPECT_TRUE(rig.shown("Wysłano rozkaz 03 (03)-"));
    EXPECT_EQ(rig.system(kHistoryOrderSent).size(), 1u);
}

TEST(ForwardingStation, TheClockIsCorrectedAtHalfPastOrTheRefusalToldOnce) {
    ForwardingStation rig;
    {
        Config config{DataDir(rig.tmp.path())};
        ASSERT_EQ(config.LoadConfig(1), 0);
        config.block().time_adjust = 2400; // four minutes a day: 10 s an hour
        ASSERT_EQ(config.SaveConfig(1), 0);
    }
    rig.adjuster.refusal = "Operation not permitted";
    rig.start();
    for (int hour = 0; hour < 3; ++hour) rig.station->forwarding().clockCorrection();
    ASSERT_EQ(rig.adjuster.moves.size(), 3u);
    EXPECT_EQ(rig.adjuster.moves[0], 10'000);
    int told = 0;
    for (const auto& box : rig.ui.boxes)
        if (box.text.find("Zegar systemowy nie może być poprawiony: Operation not permitted") != std::string::npos)
            ++told;
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(rig.station->scheduler().exists(0, kSchedAdjustTime, 0));
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

TEST(ForwardingStation, ASecondOrderDeclinedLeavesTheFirstAsItWas) {
    ForwardingStation rig;
    rig.start();
    rig.addSubscriber(3003);
    rig.bus.slots[4]->refusals = 1;
    ASSERT_EQ(rig.station->orders().sendOrder(3003, 4, 0x31), 0);
    rig.ui.answers.push_back(BoxAnswer::No);
    EXPECT_EQ(rig.station->orders().sendOrder(3003, 0, 0x32), -1);
    EXPECT_TRUE(rig.shown("Do abonenta 3003 jest wysyłany rozkaz 31. Przerwać wysyłanie i wysłać rozkaz 32?"));
    EXPECT_TRUE(rig.station->scheduler().exists(3003, kSchedSendOrder, 0));
    EXPECT_EQ(rig.station->paths().at(4)->busy, 1u);
    rig.ticks(105);
    EXPECT_EQ(rig.bus.slots[4]->taken.size(), 1u) << "the first order's retry went out";
    EXPECT_TRUE(rig.bus.slots[0]->taken.empty());
}

TEST(ForwardingStation, ThePathChoiceOfTheDialogAndItsRefusals) {
    ForwardingStation rig;
    rig.start();
    OrderSending& orders = rig.station->orders();
    // Radio base number 0 in the high four bits of the selection.
    EXPECT_EQ(orders.chooseOrderPath(0x00, 0x02, kChoiceTr), 0);
    EXPECT_EQ(orders.chooseOrderPath(0x00, 0x01, kChoiceTk), 2);
    EXPECT_EQ(orders.chooseOrderPath(0x00, 0x04, kChoiceTs), 4);
    EXPECT_EQ(orders.chooseOrderPath(0, 0x08, kChoiceTg), 1) << "GSM, any operator";
    EXPECT_EQ(orders.chooseOrderPath(-1, 0x08, kChoiceTg), -1) << "\"Plus\": the modules have no operator";
    EXPECT_TRUE(rig.shown("Nie znaleziono nadajnika dla podanego toru"));
    EXPECT_EQ(orders.chooseOrderPath(0, 0x3F, kChoiceTe), -1);
    EXPECT_TRUE(rig.shown("Abonent nie jest podłączony do podanego toru"));
}

TEST(ForwardingStation, AnInterruptedOrderIsForgottenAtTheNextStart) {
    ForwardingStation rig;
    rig.start();
    rig.addSubscriber(3004);
    rig.bus.slots[4]->refusals = 1;
    ASSERT_EQ(rig.station->orders().sendOrder(3004, 4, 0x41), 0);
    rig.station->stop();
    rig.station.reset();
    rig.start();
    Sbscrbr s(rig.station->database(), ByNumber{3004});
    uint8_t extra[kExtraSize];
    ASSERT_EQ(s.ReadExtra(extra), 0);
    EXPECT_EQ(extra[2], 0);
}

// The base's answer by SMS over the GSM module: status 5, the base's own
// number and the subscriber, and the parameter both ends agreed on.
TEST(ForwardingStation, AGsmBaseConfirmsBySmsAndTheWaitEnds) {
    ForwardingStation rig;
    rig.start();
    rig.addSubscriber(1001, [](SubscriberRecord& r) { r.forw_flag2 = 0x0241; });
    rig.radioReport(0, 1001, kBurglary, 1, 3);
    rig.ticks(20);
    ASSERT_TRUE(rig.base(1).flags & kBaseAwaitsTg);
    auto answer = [](const char* number, int param) {
        Bytes b(16, 0);
        for (int i = 0; i < 9; ++i) b[static_cast<size_t>(1 + i)] = static_cast<uint8_t>(number[i] - '0');
        const Bytes subscriber{1, 0, 0, 1};
        std::copy(subscriber.begin(), subscriber.end(), b.begin() + 10);
        b[15] = static_cast<uint8_t>(param);
        return b;
    };
    // Another number, or this number with another parameter: not this base.
    rig.bus.slots[1]->blocks.push_back({5, answer("600100201", 2)});
    rig.bus.slots[1]->blocks.push_back({9, answer("600100200", 3)});
    rig.ticks(20);
    ASSERT_TRUE(rig.bus.slots[1]->blocks.empty()) << "both taken from the module";
    EXPECT_TRUE(rig.base(1).flags & kBaseAwaitsTg);
    rig.bus.slots[1]->blocks.push_back({5, answer("600100200", 2)});
    rig.ticks(20);
    EXPECT_FALSE(rig.base(1).flags & kBaseAwaitsTg);
    EXPECT_FALSE(rig.station->scheduler().exists(1001, kSchedChkOrder, 0x41));
    const AlarmRecord* alarm = rig.alarmOf(1001);
    ASSERT_NE(alarm, nullptr);
    EXPECT_EQ(alarm->forward[1], 0x04);
    ASSERT_EQ(rig.system(kHistoryConfirmed).size(), 1u);
    EXPECT_EQ(rig.system(kHistoryConfirmed)[0].kind >> 12, 4) << "TG";
    EXPECT_TRUE(rig.shown("Potwierdzenie przesłania alarmu z 1001 do bazy Centrum2 w TG"));
}

// Base entries a technician got wrong: a serial link that does not exist, a
// radio byte without an address, a radio module that is not on the bus.
// Each is told, and nothing is left waiting for a confirmation.
TEST(ForwardingStation, ABaseEntryWithAnImpossibleLinkOrRadioIsToldAndLeavesNothingWaiting) {
    ForwardingStation rig;
    rig.start();
    ConfigBlock& c = rig.station->configFile().block();
    std::snprintf(c.bases[2].name, sizeof c.bases[2].name, "Trzecia");
    c.bases[2].rsLink = 7;
    c.bases[2].radio = 0x70;
    std::snprintf(c.bases[3].name, sizeof c.bases[3].name, "Czwarta");
    c.bases[3].radio = 0x95; // through radio module 9: there is none
    rig.addSubscriber(1003, [](SubscriberRecord& r) {
        r.forw_flag1 = 0x0331; // base 3, RS and radio
        r.forw_flag2 = 0x0421; // base 4, radio
    });
    rig.radioReport(0, 1003, kBurglary, 1, 3);
    rig.ticks(20);
    EXPECT_TRUE(rig.shown("Brak RS-a w bazie 3"));
    EXPECT_TRUE(rig.shown("Brak numeru radia w bazie 3"));
    EXPECT_TRUE(rig.shown("Alarm z 1003 nie został wysłany przez TR9 !"));
    for (int b : {2, 3}) {
        EXPECT_EQ(rig.base(b).flags & (kBaseAwaitsTr | kBaseAwaitsTg | kBaseAwaitsTe), 0) << b;
        EXPECT_FALSE(rig.station->scheduler().exists(1003, kSchedChkOrder, 0x20 + b)) << b;
    }
    const AlarmRecord* alarm = rig.alarmOf(1003);
    ASSERT_NE(alarm, nullptr);
    EXPECT_EQ(alarm->forward[2], 0x30) << "still to be sent, by hand once the entry is right";
    EXPECT_EQ(alarm->forward[3], 0x20);
    EXPECT_TRUE(rig.far.frames.empty()) << "nothing on serial link 1 for base 3";
}

} // namespace
} // namespace k4

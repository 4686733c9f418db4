// The path table: the module check over a bus of simulated modules, the
// set-up files, the path list, the supervised lists and the probe cycle.
#include "baselink/path_table.h"

#include "baselink/module_bus.h"
#include "baselink/path_files.h"
#include "baselink/probe_orders.h"
#include "baselink/serial_ports.h"
#include "baselink/trace_ring.h"
#include "../processing/processing_station.h"
#include "support/fake_serial_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct ListedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/i", "/dev/d"}; }
};

// Polls of the paths as the device side saw them; each answers the status
// the test gives for its slot (2 "order taken" unless told otherwise).
struct RecordedPolling final : PathPolling {
    std::vector<std::pair<int, int>> polls; // slot, mode
    std::map<int, int> status;
    int answer(Packet& p, int mode) {
        polls.emplace_back(p.slot, mode);
        const auto it = status.find(p.slot);
        return it == status.end() ? 2 : it->second;
    }
    int radioPoll(Packet& p, int mode, int) override { return answer(p, mode); }
    int modulePoll(Packet& p, int mode, int) override { return answer(p, mode); }
    int decodeExtendedRadio(Packet&, int) override { return 0; }
    int ethernetPoll(Packet& p, int mode, int) override { return answer(p, mode); }
    int virtualPoll(Packet& p, int mode, int) override { return answer(p, mode); }
};

struct Bases final : EthernetKindQuery {
    std::map<std::string, int> kinds;
    std::vector<std::string> asked;
    int queryKind(const std::string& address, int) override {
        asked.push_back(address);
        const auto it = kinds.find(address);
        return it == kinds.end() ? -1 : it->second;
    }
};

struct PathTableRig : test::ProcessingStation {
    ListedPorts list;
    std::vector<test::FakeSerialLine*> lines;
    SerialPorts ports{list, [this] {
                          auto line = std::make_unique<test::FakeSerialLine>(&clock);
                          lines.push_back(line.get());
                          return line;
                      }};
    FrameBuffer frame;
    TraceRing trace;
    PathTypeTable types;
    ModuleBus bus{{ports, frame, trace, clock, messages}};
    RecordedPolling polling;
    Bases bases;
    PathTable table{{data, config, types, ports, bus, frame, trace, scheduler, history, messages, db, processing,
                     indexes, polling, bases}};
    // The modules in the slots of the simulated bus (kind 0: none).
    std::array<int, 7> modules{};
    int selected = -1;

    PathTableRig() {
        ConfigBlock b{};
        b.inter_port = 1;
        b.data_port = 2;
        EXPECT_EQ(ports.OpenSerialPorts(b), 0);
        trace.setEnabled(true);
        table.setRandom([](int) { return 0; });
        // The interface answers a select byte with bit 0 set for a slot that
        // holds a module; the data port answers 0x00 with the module's kind.
        lines[kComPort1]->respond = [this](test::FakeSerialLine& line, uint8_t byte) {
            selected = byte >= 1 && byte <= 7 ? byte - 1 : -1;
            if (selected >= 0 && modules[static_cast<size_t>(selected)]) line.send({0x01});
            else if (selected >= 0) line.send({0x00});
        };
        lines[kComPort2]->respond = [this](test::FakeSerialLine& line, uint8_t byte) {
            if (byte == 0x00 && selected >= 0 && modules[static_cast<size_t>(selected)])
                line.send({modules[static_cast<size_t>(selected)]});
        };
    }
    std::string file(const std::string& name) { return dir.read(name); }
    void writeFile(const std::string& name, const std::string& text) { std::ofstream(dir.file(name)) << text; }
    int reportsOf(int subscriber, int code) {
        int n = 0;
        for (const auto& e : entries())
            if (!e.isSystem() && e.subscriber == subscriber && e.kindCode() == code) ++n;
        return n;
    }
    int systemEntries(int kind) {
        int n = 0;
        for (const auto& e : entries())
            if (e.isSystem() && e.kindCode() == kind) ++n;
        return n;
    }
};

TEST(AddressText, LeadingZerosGoAndAnEmptyPartIsZero) {
    struct Case {
        const char *line, *address;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"192.168.010.002", "192.168.10.2"},
             {"010.000.0.1 ; baza 2", "10.0.0.1"},
             {"10..1.1", "10.0.1.1"},
             {"0.0.0.0", "0.0.0.0"},
             {"001.002.003.004.005", "1.2.3.4.0"}, // 16 characters at most: "001.002.003.004."
         })
        EXPECT_EQ(normaliseAddress(c.line), c.address) << c.line;
}

TEST(PathTable, ModuleCheckNumbersTheGroupsAndWritesPakiety) {
    PathTableRig rig;
    // Two dial-up receivers and a calling-out module: 0, 1 and then 2.
    rig.modules = {0x30, 0x10, 0x20, 0x30, 0, 0x90, 0x80};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    struct Expect {
        int slot, kind, number;
    };
    for (const Expect& e : std::initializer_list<Expect>{
             {0, 0x30, 0}, {1, 0x10, 0}, {2, 0x20, 2}, {3, 0x30, 1}, {5, 0x90, 0}, {6, 0x80, 1}}) {
        const Packet* p = rig.table.at(e.slot);
        ASSERT_NE(p, nullptr) << e.slot;
        EXPECT_EQ(p->kind, e.kind) << e.slot;
        EXPECT_EQ(p->number, e.number) << e.slot;
    }
    EXPECT_EQ(rig.table.at(4), nullptr);
    // One list for both dial-up receivers.
    EXPECT_EQ(rig.table.at(0)->list, rig.table.at(3)->list);
    EXPECT_EQ(rig.file("pakiety"), "1 7 12\n1 30\n2 10\n3 20\n4 30\n5 BRAK\n6 90\n7 80\n" +
                                       [] {
                                           std::string a;
                                           for (int i = 0; i < 12; ++i) a += "0.0.0.0\n";
                                           return a;
                                       }());
    EXPECT_EQ(rig.file("packip").size(), 10 * 8u) << "ten lines 0.0.0.0";
    EXPECT_EQ(Messages::shownText(rig.table.PathListText(), false),
              " Pakiet   Typ pakietu\n  \n 01       NTT (TK1)\n 02       OTR (TR1)\n 03       OTT (TK3)\n"
              " 04       NTT (TK2)\n 05          Brak  \n 06       ONG (TG1)\n 07       OTG (TG2)\n  \n");
    EXPECT_EQ(rig.trace.line(0).rfind("Ustawiony pakiet 0 1", 0), 0u);
}

TEST(PathTable, OnlyTheAddressesBeforeTheFirstUnusedLineAreAsked) {
    PathTableRig rig;
    rig.writeFile("pakiety", "1 7 12\n1 BRAK\n2 BRAK\n3 BRAK\n4 BRAK\n5 BRAK\n6 BRAK\n7 BRAK\n"
                             "10.0.0.010\n0.0.0.0\n10.0.0.30\nptarvik\nethernet\n");
    rig.bases.kinds["10.0.0.10"] = 0x0E2; // GPRS (0xE0 means 0xB0), number 1, no delay
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    EXPECT_EQ(rig.bases.asked, std::vector<std::string>{"10.0.0.10"});
    ASSERT_NE(rig.table.at(7), nullptr);
    EXPECT_EQ(rig.table.at(7)->kind, 0xB0);
    EXPECT_EQ(rig.table.at(7)->number, 1);
    EXPECT_EQ(rig.table.at(7)->pathClass(), PathClass::EthGsm);
    // The virtual channels after the Ethernet bases: vGPRS numbered in the
    // GSM group, then the Ethernet channel.
    ASSERT_NE(rig.table.at(8), nullptr);
    EXPECT_EQ(rig.table.at(8)->kind, kKindVgprsChannel);
    EXPECT_EQ(rig.table.at(8)->number, 1);
    ASSERT_NE(rig.table.at(9), nullptr);
    EXPECT_EQ(rig.table.at(9)->kind, kKindEthernetChannel);
    // Every slot is polled when no module answers: silent slots traced.
    EXPECT_EQ(rig.trace.line(0), "Brak pakietu 0 ");
}

TEST(PathTable, SupervisedListsFollowThePathFlagsAndBaseNumbers) {
    PathTableRig rig;
    rig.addSubscriber(11, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x02; r.tracks_nbr = 0x10; });
    rig.addSubscriber(12, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x02; r.tracks_nbr = 0x00; });
    rig.addSubscriber(13, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x04; r.tracks_nbr = 0x01; });
    rig.addSubscriber(14, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x08; r.ip = 0x0100000A; });
    rig.addSubscriber(15, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x09; });
    rig.modules = {0x10, 0x10, 0x40, 0x40, 0x30, 0x90, 0xB0};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    auto listOf = [&](int slot) { return rig.table.at(slot)->list->subscribers; };
    using L = std::vector<uint16_t>;
    EXPECT_EQ(listOf(0), L{12});
    EXPECT_EQ(listOf(1), L{11});
    EXPECT_EQ(listOf(2), L{});
    EXPECT_EQ(listOf(3), L{13});
    EXPECT_EQ(listOf(4), L{15});
    EXPECT_EQ(listOf(5), L{15});
    EXPECT_EQ(listOf(6), L{14});
    // A deleted subscriber leaves the lists of its paths.
    rig.table.ForgetSubscriber(15, 0x09, 0);
    EXPECT_EQ(listOf(4), L{});
    EXPECT_EQ(listOf(5), L{});
}

TEST(PathTable, SettingPathsAddsRemovesAndRefusesAMissingModule) {
    PathTableRig rig;
    rig.addSubscriber(21, [](SubscriberRecord& r) { r.tracks = 0x07; r.tracks_nbr = 0x20; });
    rig.modules = {0x10, 0x30, 0, 0, 0, 0, 0};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    Sbscrbr s(rig.db, ByNumber{21});
    // Radio base 3 (nibble 2) does not exist; dial-up does.
    EXPECT_EQ(rig.table.SetSubscriberPaths(s, 0x03), 0x01);
    EXPECT_EQ(rig.shown(), std::vector<std::string>{" Brak pakietu 3 w torze radiowym!"});
    EXPECT_EQ(rig.table.at(1)->list->subscribers, std::vector<uint16_t>{21});
    EXPECT_EQ(rig.systemEntries(36), 1);
    EXPECT_EQ(s.record.chk_tracks, 0x01);
    EXPECT_EQ(rig.table.SetSubscriberPaths(s, 0x00), 0x00);
    EXPECT_TRUE(rig.table.at(1)->list->subscribers.empty());
    EXPECT_EQ(rig.systemEntries(37), 1);
}

TEST(PathTable, SilentSubscriberGetsThreeOrdersThenTheNoAnswerReport) {
    PathTableRig rig;
    rig.addSubscriber(1234, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x02; });
    rig.modules = {0x10, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    std::vector<CheckEntry> added, updated;
    struct Panel final : CheckingObserver {
        std::vector<CheckEntry>& a;
        std::vector<CheckEntry>& u;
        Panel(std::vector<CheckEntry>& a_, std::vector<CheckEntry>& u_) : a(a_), u(u_) {}
        void addEntry(const CheckEntry& e) override { a.push_back(e); }
        void updateEntry(const CheckEntry& e) override { u.push_back(e); }
    } panel(added, updated);
    rig.table.setCheckingObserver(&panel);

    Packet& radio = *rig.table.at(0);
    // Choice of the subscriber: the next step comes after probe period
    // minus retry period (10 - 5 s).
    EXPECT_EQ(radio.probeStep(), 5);
    EXPECT_EQ(radio.probed, 1234);
    EXPECT_EQ(radio.attempts, 1);
    for (int order = 1; order <= 3; ++order) {
        EXPECT_EQ(radio.probeStep(), 5) << "retry period, order " << order;
        // The probe order: subscriber in BCD, then the order code 4.
        EXPECT_EQ(Bytes(rig.frame.bytes.begin() + 160, rig.frame.bytes.begin() + 163), (Bytes{0x12, 0x34, 4}));
    }
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].state, kCheckRunning);
    EXPECT_EQ(rig.polling.polls, (std::vector<std::pair<int, int>>{{0, 2}, {0, 2}, {0, 2}}));
    EXPECT_EQ(radio.probeStep(), 1);
    EXPECT_EQ(rig.reportsOf(1234, test::kSpecial[7]), 1);
    ASSERT_EQ(updated.size(), 1u);
    EXPECT_EQ(updated[0].subscriber, 1234);
    EXPECT_EQ(updated[0].state, kCheckSilent);
    EXPECT_EQ(radio.attempts, 0);
}

TEST(PathTable, AnsweredProbeShowsOkAndAnEmptyListWaitsWithoutSending) {
    PathTableRig rig;
    rig.addSubscriber(77, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x04; });
    rig.modules = {0x40, 0x10, 0, 0, 0, 0, 0};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    Packet& fixed = *rig.table.at(0);
    fixed.probeStep();
    fixed.probeStep();
    rig.table.MarkProbeAnswered(0, 77, 0);
    EXPECT_EQ(fixed.attempts, 0);
    EXPECT_EQ(fixed.checkEntry.state, kCheckAnswered);
    EXPECT_EQ(rig.reportsOf(77, test::kSpecial[7]), 0);

    // The radio path has nobody to probe: one probe period, no order.
    rig.polling.polls.clear();
    EXPECT_EQ(rig.table.at(1)->probeStep(), 10);
    EXPECT_EQ(rig.table.at(1)->probeStep(), 10);
    EXPECT_TRUE(rig.polling.polls.empty());
}

TEST(PathTable, OnDemandProbeTwiceForTheSameSubscriberIsRefused) {
    PathTableRig rig;
    rig.addSubscriber(300, [](SubscriberRecord& r) {
        r.tracks = 0x01;
        std::snprintf(r.tel, sizeof r.tel, "221234567");
    });
    rig.modules = {0x30, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    EXPECT_EQ(rig.table.RequestProbe(0, 300), 0);
    EXPECT_TRUE(rig.scheduler.exists(0, kSchedChecking, 0));
    EXPECT_EQ(rig.systemEntries(51), 1);
    EXPECT_EQ(rig.table.RequestProbe(0, 300), -1);
    EXPECT_EQ(rig.shown(), std::vector<std::string>{" Abonent 0300 jest aktualnie badany na żądanie."});
    // The dial-up order: the number's digits, an end mark, the order code.
    Packet& dialUp = *rig.table.at(0);
    EXPECT_EQ(dialUp.probeStep(), 120);
    EXPECT_EQ(Bytes(rig.frame.bytes.begin() + 180, rig.frame.bytes.begin() + 186),
              (Bytes{0x22, 0x12, 0x34, 0x56, 0x7F, 4}));
    rig.table.MarkProbeAnswered(0, 300, 0);
    EXPECT_EQ(rig.systemEntries(68), 1);
    EXPECT_EQ(dialUp.onDemand, 0u);
}

TEST(ProbeOrders, GprsAndForwardingBlocks) {
    FrameBuffer frame;
    stageGprsProbe(frame, {10, 0, 0, 1}, 4321, kProbeOrderNew);
    EXPECT_EQ(Bytes(frame.bytes.begin() + 180, frame.bytes.begin() + 190),
              (Bytes{17, 10, 0, 0, 1, 2, 1, 0x43, 0x21, 5}));
    stageGsmProbe(frame, "601234567", kProbeOrder);
    EXPECT_EQ(Bytes(frame.bytes.begin() + 180, frame.bytes.begin() + 186), (Bytes{0x60, 0x12, 0x34, 0x56, 0x7F, 4}));
    stageRadioForward(frame, 0x13, 0x1A2B, true, 0x130, 0x01, 0x005);
    EXPECT_EQ(Bytes(frame.bytes.begin() + 160, frame.bytes.begin() + 175),
              (Bytes{3, 1, 0xA, 2, 0xB, 1, 3, 0, 0, 1, 0, 0, 5, 0, 0}));
    stageGsmForward(frame, "601234567", 2, 1234, 0x130, 1, 5);
    EXPECT_EQ(Bytes(frame.bytes.begin() + 180, frame.bytes.begin() + 191),
              (Bytes{0x60, 0x12, 0x34, 0x56, 0x72, 0x12, 0x34, 0x13, 0x00, 0x10, 0x05}));
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

TEST(PathTable, ASwitchedPathWithoutTheSubscribersNumberSaysSoAndWaitsAPeriod) {
    PathTableRig rig;
    rig.addSubscriber(310, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x09; });
    rig.modules = {0x30, 0x90, 0, 0, 0, 0, 0};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    EXPECT_EQ(rig.table.at(0)->probeStep(), 180);
    EXPECT_EQ(rig.table.at(1)->probeStep(), 180);
    EXPECT_EQ(rig.shown(), (std::vector<std::string>{
                               " Nie znaleziono numeru telefonu do badania abonenta 0310 w torze komutowanym",
                               " Nie znaleziono numeru telefonu do badania abonenta 0310 w torze GSM/GPRS"}));
    EXPECT_EQ(rig.table.at(0)->attempts, 0);
    EXPECT_TRUE(rig.polling.polls.empty());
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

TEST(PathTable, ProbingSwitchedOffAndOnAgainIsLoggedAndProbesAtOnce) {
    PathTableRig rig;
    rig.addSubscriber(88, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x02; });
    rig.modules = {0x10, 0x20, 0x50, 0, 0, 0, 0};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    EXPECT_TRUE(PathTable::probesSubscribers(0x10));
    EXPECT_FALSE(PathTable::probesSubscribers(0x20));
    EXPECT_FALSE(PathTable::probesSubscribers(0x50));
    rig.table.SwitchProbing(0, false);
    EXPECT_EQ(rig.table.at(0)->probeStep(), -1) << "probing off: the step stops";
    EXPECT_EQ(rig.systemEntries(22), 1);
    rig.table.SwitchProbing(0, false);
    EXPECT_EQ(rig.systemEntries(22), 1) << "no change, no entry";
    rig.table.SwitchProbing(0, true);
    EXPECT_EQ(rig.systemEntries(21), 1);
    EXPECT_TRUE(rig.scheduler.exists(0, kSchedChecking, 0));
    EXPECT_EQ(rig.table.at(0)->probed, 88);
}

TEST(PathTable, TestControlSwitchedOffAndOnIsLoggedWithOneAndProbesNothing) {
    PathTableRig rig;
    rig.addSubscriber(88, [](SubscriberRecord& r) { r.tracks = r.chk_tracks = 0x02; });
    rig.modules = {0x10, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(rig.table.DetectPaths(), 0);
    rig.table.SwitchProbing(0, false); // so a probe started by the switch would show
    EXPECT_TRUE(rig.table.at(0)->testControl);
    auto valuesOf = [&](int kind) {
        std::vector<int> values;
        for (const auto& e : rig.entries())
            if (e.isSystem() && e.kindCode() == kind) values.push_back(e.subscriber);
        return values;
    };
    rig.table.SwitchTestControl(0, false);
    EXPECT_FALSE(rig.table.at(0)->testControl);
    EXPECT_EQ(valuesOf(22), (std::vector<int>{0, 1})) << "probing off, then test control off";
    rig.table.SwitchTestControl(0, false);
    EXPECT_EQ(valuesOf(22).size(), 2u) << "no change, no entry";
    rig.table.SwitchTestControl(0, true);
    EXPECT_EQ(valuesOf(21), std::vector<int>{1});
    EXPECT_TRUE(rig.table.at(0)->testControl);
    EXPECT_EQ(rig.table.at(0)->status & kPathProbing, 0) << "probing stays as it was";
    EXPECT_FALSE(rig.scheduler.exists(0, kSchedChecking, 0));
}

} // namespace
} // namespace k4

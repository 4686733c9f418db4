#include "baselink/module_poll.h"

#include "processing/process_report.h"
#include "support/fake_serial_line.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <map>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct ListedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/i", "/dev/d"}; }
};

struct RecordedReports final : ReportProcessor {
    std::vector<Report> reports;
    std::function<int(const Report&)> answer;
    int processReport(const Report& r) override {
        reports.push_back(r);
        return answer ? answer(r) : ReportProcessing::kNoFollowUp;
    }
};

struct RecordedIntake final : FrameIntake {
    std::vector<Bytes> taken;
    std::vector<int> ports;
    int processedCount = 0;
    bool refuse = false;
    std::optional<IntakeTicket> take(IntakeChannel channel, int port, std::span<const uint8_t> bytes) override {
        EXPECT_EQ(channel, IntakeChannel::ModuleBlock);
        if (refuse) return std::nullopt;
        taken.emplace_back(bytes.begin(), bytes.end());
        ports.push_back(port);
        return IntakeTicket{static_cast<int64_t>(taken.size()), 0};
    }
    void processed(const IntakeTicket&) override { ++processedCount; }
};

struct Phones final : PhoneOwnerLookup {
    std::map<std::string, int> owners;
    std::optional<int> ownerOfPhone(const std::string& phone) override {
        const auto it = owners.find(phone);
        if (it == owners.end()) return std::nullopt;
        return it->second;
    }
};

struct ProbeMarks final : ReportPaths {
    std::vector<std::pair<int, int>> marks;
    std::optional<PathDescriptor> describe(int) const override { return std::nullopt; }
    void markProbeAnswered(int path, int subscriber) override { marks.emplace_back(path, subscriber); }
};

struct Links final : ModuleLinks {
    std::vector<std::tuple<int, int, int>> confirmations;
    int wakes = 0;
    void confirmForwarding(int s, int b, int bit) override { confirmations.emplace_back(s, b, bit); }
    void confirmGprsForwarding(int, int s, int b, int bit, int) override { confirmations.emplace_back(s, b, bit); }
    bool stageGprsAcknowledgement(int, std::span<const uint8_t>) override { return false; }
    void endQueuedText(int, int) override {}
    void forwardOverGprs(const Report&) override {}
    void wakeScreen() override { ++wakes; }
};

// A module block on the wire: the bytes and their checksum.
std::vector<int> withSum(const Bytes& block) {
    std::vector<int> out(block.begin(), block.end());
    uint8_t sum = 0;
    for (uint8_t b : block) sum = static_cast<uint8_t>(sum + b);
    out.push_back(sum);
    return out;
}

struct ModulePollTest : test::HistoryRig, ::testing::Test {
    ListedPorts list;
    std::vector<test::FakeSerialLine*> lines;
    SerialPorts ports{list, [this] {
                          auto line = std::make_unique<test::FakeSerialLine>(&clock);
                          lines.push_back(line.get());
                          return line;
                      }};
    FrameBuffer frame;
    TraceRing trace;
    ConfigBlock config{};
    PathTypeTable pathTypes;
    RecordedReports reports;
    RecordedIntake intake;
    Scheduler scheduler{DataDir(dir.path()), clock, messages, history};
    Phones phones;
    BlockLst blockades{DataDir(dir.path()), messages, history, scheduler};
    ProbeMarks probes;
    Links links;
    ModuleBus bus{{ports, frame, trace, clock, messages}};
    ModulePoll poll{{bus, ports, frame, trace, clock, messages, config, pathTypes, history, reports, intake, scheduler,
                     phones, blockades, probes, links}};
    // What the module answers to each byte the station writes, in order.
    std::deque<std::vector<int>> answers;
    size_t takenAtAccept = 0;

    ModulePollTest() {
        EXPECT_EQ(history.OpenHistory("logf"), kHistoryCurrent);
        ConfigBlock b{};
        b.inter_port = 1;
        b.data_port = 2;
        EXPECT_EQ(ports.OpenSerialPorts(b), 0);
        trace.setEnabled(true);
        config.special_codes[kSpecialAlarmCounter] = 0x3F9;
        config.special_codes[kSpecialPeriodicTest] = 0x3F5;
        data().respond = [this](test::FakeSerialLine& line, uint8_t byte) {
            if (byte == kBlockAccepted) takenAtAccept = intake.taken.size();
            if (answers.empty()) return;
            line.input.insert(line.input.end(), answers.front().begin(), answers.front().end());
            answers.pop_front();
        };
    }
    test::FakeSerialLine& data() { return *lines[kComPort2]; }

    // The module answers the mode byte with a status and a block, and our
    // 0xCA with its own.
    void moduleDelivers(int status, const Bytes& block) {
        std::vector<int> first{status};
        const std::vector<int> b = withSum(block);
        first.insert(first.end(), b.begin(), b.end());
        answers.push_back(first);
        answers.push_back({kBlockAccepted});
    }

    std::vector<HistoryEntry> historyEntries() {
        std::ifstream in(dir.path() + "/logf", std::ios::binary);
        in.seekg(static_cast<std::streamoff>(kHistoryHeaderSize));
        std::vector<HistoryEntry> out;
        HistoryEntry e;
        while (in.read(reinterpret_cast<char*>(&e), sizeof e)) out.push_back(e);
        return out;
    }
    int entriesOfKind(int kind) {
        int n = 0;
        for (const HistoryEntry& e : historyEntries()) n += e.kindCode() == kind;
        return n;
    }
};

TEST_F(ModulePollTest, AStandardBlockIsStoredBeforeItsAcceptanceAndBecomesAReport) {
    PolledPath radio{2, 0x10, 0, kPathRadio};
    moduleDelivers(1, {0x01, 0x23, 0x40, 0x13, 0x01, 0x23});
    EXPECT_EQ(poll.poll(radio, kPollNormal), 1);
    EXPECT_EQ(takenAtAccept, 1u) << "on the disk when 0xCA went out";
    ASSERT_EQ(intake.taken.size(), 1u);
    EXPECT_EQ(intake.ports[0], 2);
    EXPECT_EQ(intake.processedCount, 1);
    EXPECT_EQ(data().written, (Bytes{1, kBlockAccepted}));
    ASSERT_EQ(reports.reports.size(), 1u);
    const Report& r = reports.reports[0];
    EXPECT_EQ(r.subscriber, 1234);
    EXPECT_EQ(r.subsystem, 1);
    EXPECT_EQ(r.code, 0x30);
    EXPECT_EQ(r.sector, 0x123);
    EXPECT_EQ(r.path, 2);
    EXPECT_EQ(r.flags, 0);

    // The journal's copy decodes to the same report after a restart.
    JournalRecord stored;
    stored.port = 2;
    stored.channel = IntakeChannel::ModuleBlock;
    stored.bytes = intake.taken[0];
    poll.processStoredBlock(stored);
    ASSERT_EQ(reports.reports.size(), 2u);
    EXPECT_EQ(reports.reports[1].code, 0x30);
    EXPECT_EQ(reports.reports[1].path, 2);
}

TEST_F(ModulePollTest, ABlockThatCannotBeStoredIsLeftUnanswered) {
    PolledPath dialUp{0, 0x30, 0, kPathDialUp};
    intake.refuse = true;
    moduleDelivers(1, {0x01, 0x23, 0x40, 0x13, 0x01, 0x23});
    EXPECT_EQ(poll.poll(dialUp, kPollNormal), kPollFailed);
    EXPECT_EQ(data().written, Bytes{1}) << "no 0xCA: the module keeps the report";
    EXPECT_TRUE(reports.reports.empty());
    EXPECT_EQ(trace.line(0), "pa0:70-1(1) s0 ");
}

TEST_F(ModulePollTest, UnlistedAnswersAreTracedAndNeverReports) {
    struct Case { int kind; int status; const char* trace; };
    const Case cases[] = {
        {0x30, 4, "pa1:3-4(1) s0 "},    {0x30, 10, "pa1:3-a(1) s0 "},  {0x50, 14, "pa1:3-e(1) s0 "},
        {0x70, 5, "pa1:3-5(1) s0 "},    {0x30, 2, "pa1:2-2(1) s0 "},   {0x10, 7, "ra1:9-7(1) s0 "},
        {0x40, 0x80, "ra1:9-80(1) s0 "}, {0xA0, 254, "ra1:9-fe(1) s0 "},
    };
    for (const Case& c : cases) {
        trace.clear();
        PolledPath path{1, c.kind, 0, kPathDialUp};
        answers.push_back({c.status, 0x11, 0x22});
        EXPECT_EQ(poll.poll(path, kPollNormal), kPollFailed) << c.trace;
        EXPECT_EQ(trace.line(0), c.trace);
        EXPECT_EQ(trace.line(1), "-- 11 s0 ") << "what followed is read out";
        EXPECT_EQ(trace.line(2), "-- 22 s0 ");
    }
    EXPECT_TRUE(reports.reports.empty());
    EXPECT_TRUE(intake.taken.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ModulePollTest, ASilentModuleAndACutBlock) {
    PolledPath radio{3, 0x10, 0, kPathRadio};
    PolledPath ademco{4, 0x50, 0, kPathAdemco};
    EXPECT_EQ(poll.poll(radio, kPollNormal), kPollFailed);
    EXPECT_EQ(trace.line(0), "ra3:1-0(1) s0 ");
    EXPECT_EQ(poll.poll(ademco, kPollNormal), kPollFailed);
    EXPECT_EQ(trace.line(1), "ga4: (1) s0 ");

    answers.push_back({1, 0x01, 0x23, 0x40});
    EXPECT_EQ(poll.poll(ademco, kPollNormal), kPollFailed);
    EXPECT_EQ(trace.line(2), "pa4:10-1(1) s0 ");
    EXPECT_TRUE(reports.reports.empty());
    EXPECT_TRUE(intake.taken.empty());
    EXPECT_EQ(std::count(data().written.begin(), data().written.end(), kBlockAccepted), 0);

    // A wrong checksum is refused, kept in the history for the technician.
    answers.push_back({1, 0x01, 0x23, 0x40, 0x13, 0x01, 0x23, 0x00});
    EXPECT_EQ(poll.poll(ademco, kPollNormal), kPollFailed);
    EXPECT_EQ(data().written.back(), kBlockRefused);
    EXPECT_EQ(entriesOfKind(kHistoryIncomplete), 5);
    EXPECT_TRUE(reports.reports.empty());
}

TEST_F(ModulePollTest, HundredStrayBytesAskForACheckOnce) {
    PolledPath path{0, 0x30, 0, kPathDialUp};
    std::vector<int> stray(150, 0x55);
    stray.insert(stray.begin(), 12);
    answers.push_back(stray);
    EXPECT_EQ(poll.poll(path, kPollNormal), kPollFailed);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Konieczne sprawdzenie pakietów");
    EXPECT_EQ(data().input.size(), 50u) << "a hundred bytes read, never more in one poll";
    EXPECT_TRUE(reports.reports.empty());

    // Polling goes on: the next answer is served as usual.
    data().input.clear();
    moduleDelivers(1, {0x01, 0x23, 0x40, 0x13, 0x01, 0x23});
    EXPECT_EQ(poll.poll(path, kPollNormal), 1);
    EXPECT_EQ(reports.reports.size(), 1u);
}

// The sound calls of the alarm-style boxes, in order.
struct SoundCalls final : AlarmSoundControl {
    std::vector<std::string> calls;
    void playSound(int c) override { calls.push_back("play " + std::to_string(c)); }
    void stopSound() override { calls.push_back("stop"); }
    void resumeAlarmSound(bool continuousOnly) override { calls.push_back(continuousOnly ? "resume cont" : "resume"); }
};

TEST_F(ModulePollTest, LineFaultCountedToOneEntryAndOneBox) {
    SoundCalls sound;
    messages.setAlarmSound(&sound);
    PolledPath fixed{1, 0x30, 1, kPathDialUp};
    for (int i = 0; i < 15; ++i) {
        answers.push_back({0xF});
        EXPECT_EQ(poll.poll(fixed, kPollNormal), 15);
    }
    EXPECT_EQ(fixed.status & kPathFaultCounter, 15);
    EXPECT_EQ(entriesOfKind(kHistoryLineFault), 0) << "fifteen only count";
    EXPECT_TRUE(ui.boxes.empty());
    for (int i = 0; i < 3; ++i) {
        answers.push_back({0x5F});
        EXPECT_EQ(poll.poll(fixed, kPollNormal), 15);
    }
    const auto entries = historyEntries();
    ASSERT_EQ(entriesOfKind(kHistoryLineFault), 1);
    EXPECT_EQ(entries.back().code2 & 0xFFF, 0x5F) << "the status byte as the module sent it";
    EXPECT_EQ(entries.back().kind >> 12, kPathDialUp);
    EXPECT_EQ(entries.back().code2 >> 12, 2) << "number + 1";
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Brak linii telef. w pakiecie TK2");
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Stop) << "an alarm-style box";
    EXPECT_EQ(links.wakes, 1);
    // The error signal while the box is up, the waiting alarms after it.
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"play 0", "stop", "resume"}));
    messages.setAlarmSound(nullptr);

    answers.push_back({0});
    EXPECT_EQ(poll.poll(fixed, kPollSendOrder), 0);
    EXPECT_EQ(fixed.status & kPathFaultCounter, 15) << "status 0 of an order poll does not count";
    for (int i = 0; i < 15; ++i) {
        answers.push_back({0});
        poll.poll(fixed, kPollNormal);
    }
    EXPECT_EQ(entriesOfKind(kHistoryLineBack), 0);
    answers.push_back({0});
    poll.poll(fixed, kPollNormal);
    EXPECT_EQ(entriesOfKind(kHistoryLineBack), 1);
    EXPECT_FALSE(fixed.status & kPathFaultReported);
}

TEST_F(ModulePollTest, AGsmLineFaultWaitsForTheDelayedAlert) {
    config.no_line_delay = 300;
    PolledPath gsm{5, 0x90, 0, kPathGsm};
    for (int i = 0; i < 16; ++i) {
        answers.push_back({0xF});
        poll.poll(gsm, kPollNormal);
    }
    EXPECT_EQ(entriesOfKind(kHistoryLineFault), 1);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(scheduler.exists(5, kSchedTest, 1));
    poll.lineFaultAlert(gsm);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Brak linii telef. w pakiecie TG1");
}

TEST_F(ModulePollTest, StagedOrdersGoOutOnlyWhenAsked) {
    PolledPath dialUp{0, 0x30, 0, kPathDialUp};
    const Bytes order{0x12, 0x34, 0x56, 0x78, 0x9F, 0x04};
    std::copy(order.begin(), order.end(), frame.bytes.begin() + FrameBuffer::kStage180);
    answers.push_back({2});
    for (int i = 0; i < 6; ++i) answers.push_back({});
    answers.push_back({kBlockAccepted});
    EXPECT_EQ(poll.poll(dialUp, kPollSendOrder), 2);
    Bytes expected{2};
    const std::vector<int> sent = withSum(order);
    expected.insert(expected.end(), sent.begin(), sent.end());
    EXPECT_EQ(data().written, expected) << "the mode, the order and its checksum";
    EXPECT_TRUE(trace.line(0).empty());

    data().written.clear();
    answers.push_back({2});
    EXPECT_EQ(poll.poll(dialUp, kPollNormal), kPollFailed);
    EXPECT_EQ(data().written, Bytes{1});
    answers.push_back({3});
    EXPECT_EQ(poll.poll(dialUp, kPollNormal), 3) << "status 3 outside an order poll is nothing";
}

TEST_F(ModulePollTest, GsmCallsFromUnknownNumbersTripTheSharedLimiter) {
    PolledPath gsm{6, 0x90, 0, kPathGsm};
    Bytes call(16, 0);
    for (int i = 1; i <= 9; ++i) call[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 10);
    for (int i = 0; i < ModulePoll::kUnknownSenderLimit; ++i) {
        moduleDelivers(1, call);
        EXPECT_EQ(poll.poll(gsm, kPollNormal), 1);
    }
    EXPECT_TRUE(reports.reports.empty()) << "a call from nobody known is no report";
    EXPECT_EQ(entriesOfKind(kHistoryPhoneUnknown), ModulePoll::kUnknownSenderLimit);
    moduleDelivers(1, call);
    poll.poll(gsm, kPollNormal);
    ASSERT_EQ(reports.reports.size(), 1u);
    EXPECT_EQ(reports.reports[0].subscriber, -1);
    EXPECT_EQ(reports.reports[0].code, 0x3F9);
    EXPECT_EQ(reports.reports[0].flags, Report::kUnknownSubscriber);

    phones.owners["123456789"] = 77;
    moduleDelivers(1, call);
    poll.poll(gsm, kPollNormal);
    ASSERT_EQ(reports.reports.size(), 2u);
    EXPECT_EQ(reports.reports[1].subscriber, 77);
    EXPECT_EQ(reports.reports[1].subsystem, 1);
    EXPECT_EQ(reports.reports[1].code, 0x3F5);
    EXPECT_EQ(reports.reports[1].sector, 127);
}

TEST_F(ModulePollTest, ARateLimitedSubscriberGetsItsAlarmCounterAtOnce) {
    PolledPath path{0, 0x30, 0, kPathDialUp};
    reports.answer = [](const Report& r) { return r.code == 0x30 ? r.subscriber : ReportProcessing::kNoFollowUp; };
    moduleDelivers(1, {0x01, 0x23, 0x40, 0x13, 0x01, 0x23});
    poll.poll(path, kPollNormal);
    ASSERT_EQ(reports.reports.size(), 2u);
    EXPECT_EQ(reports.reports[1].subscriber, 1234);
    EXPECT_EQ(reports.reports[1].code, 0x3F9);
    EXPECT_EQ(reports.reports[1].subsystem, 255);
    EXPECT_EQ(reports.reports[1].sector, 4095);
}

TEST_F(ModulePollTest, IncompleteContactIdReport) {
    PolledPath cid{3, 0x70, 0, kPathContactId};
    moduleDelivers(1, {255, 0x01, 0x23, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0x00});
    EXPECT_EQ(poll.poll(cid, kPollNormal), 1);
    EXPECT_TRUE(reports.reports.empty());
    const auto entries = historyEntries();
    ASSERT_EQ(entriesOfKind(kHistoryIncomplete), 2);
    const auto* first = reinterpret_cast<const uint8_t*>(&entries[entries.size() - 2]);
    EXPECT_EQ(Bytes(first + 5, first + 9), (Bytes{0x01, 0x23, 0x44, 0x55}));
    EXPECT_EQ(entries.back().code2 & 0xFFF, 1) << "the continuation";
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Niepełny meldunek: 012344556677889900");

    config.options = kOptNoIncompleteCheck;
    moduleDelivers(1, {255, 0x01, 0x23, 0x44, 0x55, 0, 0, 0, 0, 0x99});
    poll.poll(cid, kPollNormal);
    EXPECT_EQ(entriesOfKind(kHistoryIncomplete), 3) << "bytes 5-8 all zero: one entry";
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(ModulePollTest, ProbeAnswersMarkThePathOrAreWrittenDown) {
    PolledPath radio{1, 0x10, 0, kPathRadio};
    moduleDelivers(1, {0x11, 0x23, 0x40, 0x00, 0x00, 0x04});
    poll.poll(radio, kPollNormal);
    ASSERT_EQ(probes.marks.size(), 1u);
    EXPECT_EQ(probes.marks[0], std::make_pair(1, 1234));
    moduleDelivers(1, {0x11, 0x23, 0x40, 0x00, 0x00, 0x07});
    poll.poll(radio, kPollNormal);
    EXPECT_EQ(probes.marks.size(), 1u);
    EXPECT_EQ(entriesOfKind(kHistoryProbeRefused), 1);
    EXPECT_TRUE(reports.reports.empty());

    answers.insert(answers.end(), {{3}, {}, {}, {}, {kBlockAccepted}});
    frame[160] = 0x12, frame[161] = 0x34, frame[162] = 4;
    EXPECT_EQ(poll.poll(radio, kPollSendOrder), 3);
    EXPECT_EQ(probes.marks.back(), std::make_pair(1, -1)) << "the module passed the order on";
}

TEST_F(ModulePollTest, RadioForwardingConfirmation) {
    config.bases[3].radio = 0x25; // module 2, address 5
    PolledPath radio{0, 0x10, 1, kPathRadio};
    moduleDelivers(5, {5, 0, 0, 4, 2});
    EXPECT_EQ(poll.poll(radio, kPollNormal), 5);
    ASSERT_EQ(links.confirmations.size(), 1u);
    EXPECT_EQ(links.confirmations[0], std::make_tuple(42, 3, 0x20));
}

} // namespace
} // namespace k4

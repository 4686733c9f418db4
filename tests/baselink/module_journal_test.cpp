// The module poll over the station's real intake journal: a block is on the
// disk at the moment the module hears 0xCA, and one left unprocessed by a
// crash is processed at the next start with the time it came.
#include "baselink/module_poll.h"

#include "database/stamp.h"
#include "intake/report_intake.h"
#include "processing/process_report.h"
#include "support/fake_serial_line.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct ListedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/i", "/dev/d"}; }
};

struct Reports final : ReportProcessor, PhoneOwnerLookup {
    std::vector<Report> reports;
    HistoryLog* history = nullptr;
    int processReport(const Report& r) override {
        reports.push_back(r);
        history->LogEvent(r.code & 0xFFF, r.subscriber);
        return ReportProcessing::kNoFollowUp;
    }
    std::optional<int> ownerOfPhone(const std::string&) override { return std::nullopt; }
};

struct ModuleJournalTest : test::HistoryRig, ::testing::Test {
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
    PathTypeTable types;
    Reports reports;
    Scheduler scheduler{DataDir(dir.path()), clock, messages, history};
    BlockLst blockades{DataDir(dir.path()), messages, history, scheduler};
    NoPaths paths;
    NoModuleLinks links;
    ModuleBus bus{{ports, frame, trace, clock, messages}};
    std::unique_ptr<ReportIntake> intake;
    std::unique_ptr<ModulePoll> poll;

    ModuleJournalTest() {
        EXPECT_EQ(history.OpenHistory("logf"), kHistoryCurrent);
        reports.history = &history;
        ConfigBlock b{};
        b.inter_port = 1;
        b.data_port = 2;
        EXPECT_EQ(ports.OpenSerialPorts(b), 0);
        start();
    }
    void start() {
        poll.reset();
        intake = std::make_unique<ReportIntake>(DataDir(dir.path()), clock, messages, history);
        poll = std::make_unique<ModulePoll>(ModulePoll::Services{bus, ports, frame, trace, clock, messages, config,
                                                                 types, history, reports, *intake, scheduler, reports,
                                                                 blockades, paths, links});
        intake->setHandler(IntakeChannel::ModuleBlock,
                           [this](const JournalRecord& record) { poll->processStoredBlock(record); });
        intake->start();
    }
    test::FakeSerialLine& data() { return *lines[kComPort2]; }
    // What a fresh reader of the journal file finds waiting.
    size_t waitingOnDisk() {
        IntakeJournal journal(dir.path());
        std::vector<JournalRecord> waiting;
        EXPECT_EQ(journal.open(waiting), StorageFault::None);
        return waiting.size();
    }
};

TEST_F(ModuleJournalTest, TheBlockIsOnTheDiskWhenTheModuleHearsAccepted) {
    const Bytes block{0x01, 0x23, 0x40, 0x13, 0x01, 0x23};
    uint8_t sum = 0;
    for (uint8_t b : block) sum = static_cast<uint8_t>(sum + b);
    std::vector<int> answer{1};
    answer.insert(answer.end(), block.begin(), block.end());
    answer.push_back(sum);
    data().replyAfterWrites(1, answer);
    size_t onDiskAtAccept = 0;
    data().respond = [&](test::FakeSerialLine& line, uint8_t byte) {
        if (byte != kBlockAccepted) return;
        onDiskAtAccept = waitingOnDisk();
        line.send({kBlockAccepted});
    };
    PolledPath path{1, 0x30, 0, kPathDialUp};
    EXPECT_EQ(poll->poll(path, kPollNormal), 1);
    EXPECT_EQ(onDiskAtAccept, 1u);
    ASSERT_EQ(reports.reports.size(), 1u);
    EXPECT_EQ(waitingOnDisk(), 0u) << "processed: nothing waits any more";
}

TEST_F(ModuleJournalTest, ABlockLeftByACrashIsProcessedAtTheNextStart) {
    const Stamp received = nowStamp(clock);
    {
        // A block taken and answered; the station is killed before it
        // processes it.
        const Bytes stored{0x70, 1, 1, 0, kPathContactId, 0, 0x01, 0x23, 0x41, 0, 0, 0, 0, 0, 0};
        ASSERT_TRUE(intake->take(IntakeChannel::ModuleBlock, 4, stored));
    }
    poll.reset();
    intake.reset();
    clock.advanceSeconds(600);
    start();
    ASSERT_EQ(reports.reports.size(), 1u);
    EXPECT_EQ(reports.reports[0].subscriber, 123);
    EXPECT_EQ(reports.reports[0].code, 0x41);
    EXPECT_EQ(reports.reports[0].path, 4);
    HistoryEntry last{};
    File logf;
    ASSERT_TRUE(logf.open(dir.file("logf"), File::Mode::ReadOnly));
    ASSERT_TRUE(logf.readAt(logf.size() - static_cast<int64_t>(kHistoryEntrySize), &last, sizeof last));
    EXPECT_EQ(last.time, received) << "the entry keeps the time the block came";
    EXPECT_EQ(waitingOnDisk(), 0u);
}

} // namespace
} // namespace k4

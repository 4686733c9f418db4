#include "shell/input_poll.h"

#include "support/fake_serial_line.h"
#include "support/history_rig.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>

namespace k4 {
namespace {

struct FourPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/a", "/dev/b", "/dev/c", "/dev/d"}; }
};

struct Paths final : ModulePaths {
    std::set<int> slots;
    std::vector<int> polled;
    int state = 0;
    // Reports waiting in the module: each poll hands over one (state 1)
    // until they are gone, then answers `state`.
    int reportsWaiting = 0;
    int reportStatus = 1;
    // How long one exchange takes on the bus.
    test::ManualClock* clock = nullptr;
    int exchangeMs = 0;
    bool exists(int slot) const override { return slots.count(slot) > 0; }
    int pathKind(int) const override { return 0x70; }
    int poll(int slot, int, int) override {
        polled.push_back(slot);
        if (clock) clock->advanceMs(exchangeMs);
        if (reportsWaiting > 0) {
            --reportsWaiting;
            return reportStatus;
        }
        return state;
    }
};

struct NoReports final : ReportProcessor, PreparedEntryLog, PhoneOwnerLookup, FrameIntake {
    int reports = 0;
    std::optional<IntakeTicket> take(IntakeChannel, int, std::span<const uint8_t>) override { return IntakeTicket{}; }
    void processed(const IntakeTicket&) override {}
    int processReport(const Report&) override { return ++reports; }
    int logPreparedEntry(int, const PreparedEntry&) override { return 0; }
    std::optional<int> ownerOfPhone(const std::string&) override { return std::nullopt; }
};

struct InputPollTest : ::testing::Test, test::HistoryRig {
    FourPorts list;
    std::vector<test::FakeSerialLine*> lines;
    SerialPorts ports{list, [this] {
                          auto l = std::make_unique<test::FakeSerialLine>();
                          lines.push_back(l.get());
                          return l;
                      }};
    FrameBuffer frame;
    TraceRing trace;
    ConfigBlock config{};
    NoReports sink;
    BaseLink baseLink{{ports, frame, trace, clock, messages, config, sink, sink, sink, sink}};
    ModuleBus modules{{ports, frame, trace, clock, messages}};
    Paths paths;
    InputPoller poller{config, baseLink, modules, paths, history, messages};

    void open(int mode) {
        config.mode = static_cast<int16_t>(mode);
        config.inter_port = 1;
        config.data_port = 2;
        config.base1_port = 3;
        ASSERT_EQ(ports.OpenSerialPorts(config), 0);
        EXPECT_GE(history.OpenHistory("logf"), 0);
    }
    // The interface says a module answers in every slot, the data port gives its kind.
    void modulesAnswer() {
        lines[kComPort1]->respond = [](test::FakeSerialLine& l, uint8_t) { l.send({0x01}); };
        lines[kComPort2]->respond = [](test::FakeSerialLine& l, uint8_t) { l.send({0x70}); };
    }
    size_t historyEntries() const { return (dir.read("logf").size() - kHistoryHeaderSize) / kHistoryEntrySize; }
};

TEST_F(InputPollTest, ReceivingModePollsOnlyTheBaseLink) {
    open(2);
    paths.slots = {0, 1};
    lines[kComPort2]->send({0x0A, 0x00, 0x0D, 0x17});
    poller.PollInputs();
    EXPECT_EQ(lines[kComPort2]->written, (std::vector<uint8_t>{0x0A, 0x0D}));
    EXPECT_TRUE(paths.polled.empty());
}

TEST_F(InputPollTest, NoPathMeansNothingAfterTheBaseLink) {
    open(3);
    poller.PollInputs();
    EXPECT_TRUE(lines[kComPort1]->written.empty()) << "no module selected";
}

TEST_F(InputPollTest, PathsTakeTurnsWhenTheirStateAllows) {
    open(0);
    modulesAnswer();
    paths.slots = {1, 4};
    paths.state = 5; // still busy: the same path again
    poller.PollInputs();
    poller.PollInputs();
    paths.state = 0;
    poller.PollInputs();
    poller.PollInputs();
    poller.PollInputs();
    EXPECT_EQ(paths.polled, (std::vector<int>{1, 1, 1, 4, 1}));
    EXPECT_EQ(poller.silenceMs(), 0);
}

TEST_F(InputPollTest, APathThatDeliversReportsIsAskedAgainWithinTheTickBudget) {
    open(0);
    modulesAnswer();
    paths.slots = {1, 4};
    paths.clock = &clock;
    paths.exchangeMs = 10;
    paths.reportsWaiting = 5;
    // 35 ms of budget: the exchanges ending at 10, 20 and 30 ms; a fourth
    // would end past it.
    poller.PollInputs();
    EXPECT_EQ(paths.polled, (std::vector<int>{1, 1, 1}));
    // The rest at the next tick, then the path that has nothing more lets
    // the next one have its turn.
    poller.PollInputs();
    EXPECT_EQ(paths.polled, (std::vector<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(paths.reportsWaiting, 0);
    poller.PollInputs();
    EXPECT_EQ(paths.polled.back(), 4);
}

TEST_F(InputPollTest, OnlyADeliveredReportBringsASecondPollInTheSameTick) {
    struct Case {
        int status;
        size_t pollsInOneTick;
    };
    // 1: a report; 4: an extended radio report; anything else (busy, an
    // order waiting, an error) waits for the next tick as before. A clock
    // that does not move is held by the count bound.
    for (const Case c : {Case{1, InputPoller::kMaxPollsPerTick}, Case{4, InputPoller::kMaxPollsPerTick}, Case{2, 1},
                         Case{5, 1}, Case{0xFFFF, 1}}) {
        SCOPED_TRACE(c.status);
        InputPoller fresh{config, baseLink, modules, paths, history, messages};
        if (lines.empty()) open(0);
        modulesAnswer();
        paths.slots = {1};
        paths.polled.clear();
        paths.reportsWaiting = 100;
        paths.reportStatus = c.status;
        fresh.PollInputs();
        EXPECT_EQ(paths.polled.size(), c.pollsInOneTick);
    }
}

TEST_F(InputPollTest, A_MinuteOfSilenceIsLoggedAndShownOnce) {
    open(0);
    paths.slots = {2};
    int boxesWhileUp = 0;
    ui.whileShown = [&](const BoxRequest&) {
        // More silent ticks while the box is up raise no second box.
        for (int i = 0; i < 700; ++i) poller.PollInputs();
        boxesWhileUp = static_cast<int>(ui.boxes.size());
    };
    for (int tick = 0; tick < 600; ++tick) poller.PollInputs();
    EXPECT_TRUE(ui.boxes.empty()) << "60 s exactly is not yet silence";
    EXPECT_EQ(historyEntries(), 0u);
    poller.PollInputs();
    ASSERT_GE(ui.boxes.size(), 1u);
    EXPECT_EQ(boxesWhileUp, 1);
    EXPECT_EQ(ui.boxes[0].text, " Brak komunikacji z Bazą KVF16Z");
    EXPECT_EQ(ui.boxes[0].caption, "Błąd");
    EXPECT_EQ(historyEntries(), 2u) << "the second minute under the box is logged, not shown";
    EXPECT_TRUE(paths.polled.empty());
}

} // namespace
} // namespace k4

#include "intake/report_intake.h"

#include "database/stamp.h"
#include "history/history_reader.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

// The intake over a real journal and a real history; the handler logs one
// entry per frame, its code the frame's second byte.
struct ReportIntakeTest : ::testing::Test, test::HistoryRig {
    std::unique_ptr<ReportIntake> intake;
    std::vector<Bytes> handled;

    ReportIntakeTest() {
        EXPECT_EQ(history.OpenHistory("logf"), kHistoryCurrent);
        restart();
    }
    void restart() {
        if (intake) intake->stop();
        intake = std::make_unique<ReportIntake>(DataDir(dir.path()), clock, messages, history);
        intake->setHandler(IntakeChannel::BaseFrame, [this](const JournalRecord& frame) {
            handled.push_back(frame.bytes);
            history.LogEvent(frame.bytes.size() > 1 ? frame.bytes[1] : 0, 0);
        });
        intake->start();
    }
    // A frame as a receiver hands it over, its report processed at once.
    bool receive(uint8_t code) {
        const Bytes frame{0x01, code};
        const auto ticket = intake->take(IntakeChannel::BaseFrame, 2, frame);
        if (!ticket) return false;
        history.LogEvent(code, 0);
        intake->processed(*ticket);
        return true;
    }
    std::vector<HistoryEntry> entries() const {
        std::vector<HistoryEntry> out;
        readHistoryFile(dir.file("logf"), [&](const HistoryEntry& e) {
            out.push_back(e);
            return true;
        });
        return out;
    }
    int boxesSaying(const std::string& text) const {
        int n = 0;
        for (const BoxRequest& box : ui.boxes) n += box.text.find(text) != std::string::npos;
        return n;
    }
    void tick() {
        intake->watch();
        intake->tellOperator();
    }
};

// Taken, answered, and the station killed before it processed the frame:
// the next start processes it, its entry with the time it came.
TEST_F(ReportIntakeTest, FrameTakenButNotProcessedIsProcessedAtTheNextStartWithItsTime) {
    const Stamp received = nowStamp(clock);
    ASSERT_TRUE(intake->take(IntakeChannel::BaseFrame, 2, Bytes{0x01, 0x42}));
    intake.reset(); // no processed(), no stop(): as kill -9 leaves it

    clock.advanceSeconds(3600);
    restart();
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0], (Bytes{0x01, 0x42}));
    const auto logged = entries();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].kindCode(), 0x42);
    EXPECT_EQ(logged[0].time, received);
    EXPECT_EQ(intake->journal().size(), static_cast<int64_t>(IntakeJournal::kHeaderSize)) << "nothing waits any more";

    restart();
    EXPECT_EQ(handled.size(), 1u) << "processed once, not at every start";
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ReportIntakeTest, ProcessedFramesAreNotProcessedAgainAndAStopEmptiesTheJournal) {
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(receive(static_cast<uint8_t>(i)));
    EXPECT_GT(intake->journal().size(), static_cast<int64_t>(IntakeJournal::kHeaderSize));
    restart();
    EXPECT_TRUE(handled.empty());
    EXPECT_EQ(entries().size(), 50u);
    EXPECT_EQ(dir.read("odbior").size(), IntakeJournal::kHeaderSize);
}

// The history cannot take the report of a frame already accepted: the frame
// stays in the journal, acceptance stops and the operator hears of it once;
// when the disk works again the report is written and frames are taken.
TEST_F(ReportIntakeTest, ReportThatMissedTheHistoryIsHeldAndWrittenWhenTheDiskWorks) {
    history.CloseHistory();
    ASSERT_TRUE(receive(0x42)) << "the journal took it";
    EXPECT_EQ(intake->heldCount(), 1);
    EXPECT_FALSE(intake->accepting());
    EXPECT_FALSE(receive(0x43));
    tick();
    tick();
    EXPECT_EQ(boxesSaying("Błąd zapisu na dysku - meldunki nie są przyjmowane"), 1);
    EXPECT_EQ(boxesSaying("meldunki nie są przyjmowane"), 1);

    ASSERT_EQ(history.OpenHistory("logf"), kHistoryCurrent);
    clock.advanceMs(ReportIntake::kProbeEveryMs);
    tick();
    EXPECT_TRUE(intake->accepting());
    EXPECT_EQ(intake->heldCount(), 0);
    ASSERT_EQ(handled.size(), 1u);
    ASSERT_TRUE(receive(0x44));
    const auto logged = entries();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].kindCode(), 0x42);
    EXPECT_EQ(logged[1].kindCode(), 0x44);

    // A new episode is told again.
    history.CloseHistory();
    ASSERT_TRUE(receive(0x45));
    tick();
    EXPECT_EQ(boxesSaying("meldunki nie są przyjmowane"), 2);
}

TEST_F(ReportIntakeTest, DataDirectoryRemovedStopsAcceptanceWithinATick) {
    ASSERT_TRUE(receive(0x42));
    std::filesystem::remove_all(dir.path());
    tick();
    EXPECT_EQ(intake->fault(), StorageFault::DirectoryGone);
    EXPECT_EQ(boxesSaying("Katalog danych został usunięty - meldunki nie są przyjmowane"), 1);
    EXPECT_FALSE(receive(0x43));

    // A directory of the same name made again holds none of the open files:
    // reception stays stopped until a restart.
    std::filesystem::create_directory(dir.path());
    for (int i = 0; i < 3; ++i) {
        clock.advanceMs(ReportIntake::kProbeEveryMs);
        tick();
    }
    EXPECT_FALSE(receive(0x44));
    EXPECT_EQ(boxesSaying("meldunki nie są przyjmowane"), 1);
}

// Removed between two ticks: the frame that comes first is not accepted
// either, though no watch has run yet.
TEST_F(ReportIntakeTest, DataDirectoryRemovedBeforeTheWatchRanStillAcceptsNothing) {
    std::filesystem::remove_all(dir.path());
    EXPECT_FALSE(receive(0x42));
    EXPECT_EQ(intake->fault(), StorageFault::DirectoryGone);
}

// Frames of a receiver this version does not have are never consumed: they
// wait in the journal for a version that does.
TEST_F(ReportIntakeTest, FramesOfAnUnknownReceiverWaitInTheJournal) {
    ASSERT_TRUE(intake->take(IntakeChannel::Datagram, 5, Bytes{0x07, 0x08}));
    intake.reset();
    restart();
    restart();
    EXPECT_TRUE(handled.empty());
    EXPECT_EQ(intake->heldCount(), 1);
    IntakeJournal journal(dir.path());
    std::vector<JournalRecord> waiting;
    intake->stop();
    ASSERT_EQ(journal.open(waiting), StorageFault::None);
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].channel, IntakeChannel::Datagram);
    EXPECT_EQ(waiting[0].port, 5);
}

} // namespace
} // namespace k4

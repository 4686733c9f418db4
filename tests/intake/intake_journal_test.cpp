#include "intake/intake_journal.h"

#include "support/small_tmpfs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct IntakeJournalTest : ::testing::Test {
    test::TempDir dir;
    IntakeJournal journal{dir.path()};

    std::vector<JournalRecord> reopen() {
        journal.close();
        std::vector<JournalRecord> waiting;
        EXPECT_EQ(journal.open(waiting), StorageFault::None);
        return waiting;
    }
    int64_t append(int port, Stamp time, const Bytes& bytes, IntakeChannel channel = IntakeChannel::BaseFrame) {
        int64_t offset = 0;
        EXPECT_EQ(journal.append(channel, port, time, bytes, offset), StorageFault::None);
        return offset;
    }
};

TEST_F(IntakeJournalTest, WaitingRecordsComeBackInOrderUntilMarkedDone) {
    EXPECT_TRUE(reopen().empty());
    EXPECT_EQ(journal.size(), static_cast<int64_t>(IntakeJournal::kHeaderSize));
    append(1, 1000, {0x00});
    const int64_t second = append(2, 1001, {0x04, 0x15, '1', '3', '0'});
    append(3, 1002, {0x02, 0xAA, 0xBB}, IntakeChannel::Datagram);
    journal.markDone(second);

    const auto waiting = reopen();
    ASSERT_EQ(waiting.size(), 2u);
    EXPECT_EQ(waiting[0].port, 1);
    EXPECT_EQ(waiting[0].receivedAt, 1000);
    EXPECT_EQ(waiting[0].bytes, Bytes{0x00});
    EXPECT_EQ(waiting[0].channel, IntakeChannel::BaseFrame);
    EXPECT_EQ(waiting[1].port, 3);
    EXPECT_EQ(waiting[1].receivedAt, 1002);
    EXPECT_EQ(waiting[1].bytes, (Bytes{0x02, 0xAA, 0xBB}));
    EXPECT_EQ(waiting[1].channel, IntakeChannel::Datagram);

    JournalRecord again;
    ASSERT_TRUE(journal.read(waiting[1].offset, again));
    EXPECT_EQ(again.bytes, waiting[1].bytes);
}

// A crash in the middle of an append leaves a part of a record that was
// never answered: it is cut, and its bytes are kept aside, not thrown away.
TEST_F(IntakeJournalTest, TornLastRecordIsCutAndKeptAside) {
    reopen();
    append(1, 1000, {0x00});
    const int64_t whole = journal.size();
    journal.close();
    {
        std::ofstream out(dir.file("odbior"), std::ios::binary | std::ios::app);
        out.write("P\x01\x01\x00\x10\x20", 6);
    }
    const auto waiting = reopen();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(journal.size(), whole);
    EXPECT_EQ(dir.read("odbior").size(), static_cast<size_t>(whole));
    EXPECT_EQ(dir.read("odbior.bad"), std::string("P\x01\x01\x00\x10\x20", 6));
    append(2, 1001, {0x00});
    EXPECT_EQ(reopen().size(), 2u) << "the next record follows the whole ones";
}

TEST_F(IntakeJournalTest, ForeignFileIsKeptAsideAndAFreshJournalBegun) {
    dir.write("odbior", "not a journal at all");
    EXPECT_TRUE(reopen().empty());
    EXPECT_EQ(dir.read("odbior.bad"), "not a journal at all");
    EXPECT_EQ(journal.size(), static_cast<int64_t>(IntakeJournal::kHeaderSize));
}

TEST_F(IntakeJournalTest, CompactionKeepsOnlyTheRecordsGiven) {
    reopen();
    for (int i = 0; i < 50; ++i) journal.markDone(append(1, 1000 + i, {0x00}));
    const int64_t kept = append(2, 2000, {0x01, 0x42});
    std::vector<JournalRecord> keep(1);
    ASSERT_TRUE(journal.read(kept, keep[0]));
    ASSERT_EQ(journal.compact(keep), StorageFault::None);
    EXPECT_EQ(keep[0].offset, static_cast<int64_t>(IntakeJournal::kHeaderSize));
    const auto waiting = reopen();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].receivedAt, 2000);
    EXPECT_EQ(waiting[0].bytes, (Bytes{0x01, 0x42}));

    keep.clear();
    ASSERT_EQ(journal.compact(keep), StorageFault::None);
    EXPECT_EQ(dir.read("odbior").size(), IntakeJournal::kHeaderSize);
}

// A real disk that runs full, and one that is read-only: the journal says
// which, and a record that failed leaves the journal readable.
TEST(IntakeJournalOnASmallDisk, FullAndReadOnlyDisksAreToldApart) {
    test::SmallTmpfs disk(64 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs of our own: " << disk.error();
    IntakeJournal journal(disk.path());
    std::vector<JournalRecord> waiting;
    ASSERT_EQ(journal.open(waiting), StorageFault::None);
    disk.fill();
    const Bytes big(4000, 0x30);
    int64_t offset = 0;
    StorageFault fault = StorageFault::None;
    int stored = 0;
    while ((fault = journal.append(IntakeChannel::BaseFrame, 1, 1000, big, offset)) == StorageFault::None) ++stored;
    EXPECT_EQ(fault, StorageFault::NoSpace);
    EXPECT_LE(stored, 1) << "only what was left of the journal's first page";

    disk.free();
    ASSERT_EQ(journal.append(IntakeChannel::BaseFrame, 1, 1001, big, offset), StorageFault::None);
    journal.close();
    ASSERT_EQ(journal.open(waiting), StorageFault::None);
    EXPECT_EQ(static_cast<int>(waiting.size()), stored + 1);
    EXPECT_EQ(waiting.back().receivedAt, 1001);

    // A disk turned read-only (the kernel does it to a failing one) takes
    // no journal; it is read-only, not full.
    journal.close();
    ASSERT_TRUE(disk.setReadOnly(true));
    EXPECT_EQ(journal.open(waiting), StorageFault::ReadOnly);
    journal.close();
    ASSERT_TRUE(disk.setReadOnly(false));
    EXPECT_EQ(journal.open(waiting), StorageFault::None);
}

} // namespace
} // namespace k4

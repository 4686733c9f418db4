// A station killed in the middle of an append, a free or a chain rewrite
// must find its files sound at the next start: the file opens, its free
// chain passes the append check and is sound all the way down.
#include "database/record_file.h"
#include "database/record_file_audit.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace k4 {
namespace {

constexpr int kSize = 64;

// The child's work: appends, frees and chains of every size, for ever.
[[noreturn]] void keepWriting(const std::string& dir, int readyFd, unsigned seed) {
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    test::RecordingHistory history;
    RecordFile file(DataDir(dir), messages, history);
    if (file.Open("opis", kSize) != 0) ::_exit(2);
    std::mt19937 random(seed);
    std::vector<int32_t> records, chains;
    std::string text(2000, 't');
    const char ready = 1;
    if (::write(readyFd, &ready, 1) != 1) ::_exit(3);
    for (;;) {
        switch (random() % 5) {
        case 0:
        case 1: {
            int32_t at = 0;
            if (file.CheckFreeHead() != 0 || file.AppendRecord(at, text.data()) != 0) ::_exit(4);
            records.push_back(at);
            break;
        }
        case 2:
            if (!records.empty()) {
                const size_t i = random() % records.size();
                if (file.CheckNotFree(records[i]) != 0 || file.FreeRecord(records[i]) != 0) ::_exit(5);
                records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
            }
            break;
        case 3: {
            int32_t first = 0;
            if (file.WriteChain(first, text.data(), 1 + static_cast<int>(random() % 1000)) != 0) ::_exit(6);
            chains.push_back(first);
            break;
        }
        case 4:
            if (!chains.empty()) {
                const size_t i = random() % chains.size();
                if (random() % 3 == 0) {
                    if (file.FreeChain(chains[i]) != 0) ::_exit(7);
                    chains.erase(chains.begin() + static_cast<std::ptrdiff_t>(i));
                } else if (file.RewriteChain(chains[i], text.data(), static_cast<int>(random() % 1500)) != 0) {
                    ::_exit(8);
                }
            }
            break;
        }
    }
}

// The system may end a write part way: a kill does so between two pages of
// one write, and so does a full disk. A record that spans a page boundary is
// then half written. The file must still end on a whole record: the length
// is taken before the record is written. Here the cut comes at a fixed byte,
// from a file size limit at the boundary, so the case is the same each run.
TEST(RecordFileCrash, AnAppendCutShortLeavesNoPartOfARecord) {
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    test::RecordingHistory history;
    {
        RecordFile fresh(DataDir(tmp.path()), messages, history);
        ASSERT_EQ(fresh.Create("opis", kSize), 0);
    }
    constexpr int64_t kPage = 4096;
    static_assert((kPage - 32) % kSize != 0, "a record must span the boundary");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Past the limit a write stops short and the next one fails.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(kPage), static_cast<rlim_t>(kPage)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
        RecordFile file(DataDir(tmp.path()), messages, history);
        if (file.Open("opis", kSize) != 0) ::_exit(3);
        const std::string record(kSize, 'r');
        for (int i = 0; i < 100; ++i) {
            int32_t at = 0;
            if (file.AppendRecord(at, record.data()) != 0) ::_exit(i == (kPage - 32) / kSize ? 0 : 4);
        }
        ::_exit(5); // the limit never came
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the append across the boundary was refused, and only that one";

    const RecordFileAudit audit = AuditRecordFile(tmp.file("opis"), "opis", kSize);
    EXPECT_TRUE(audit.problems.empty()) << audit.problems.front();
    EXPECT_EQ(audit.records, (kPage - 32) / kSize);
    RecordFile reopened(DataDir(tmp.path()), messages, history);
    ASSERT_EQ(reopened.Open("opis", kSize), 0);
    int32_t at = 0;
    EXPECT_EQ(reopened.AppendRecord(at, std::string(kSize, 'n').data()), 0);
    EXPECT_EQ(at, 32 + (kPage - 32) / kSize * kSize) << "the next record goes where the refused one would have";
}

// Kills at any moment: whatever the moment, the file ends on a whole record
// and its free chain is sound, so the verdict does not depend on where the
// kill falls.
TEST(RecordFileCrash, KilledWriterLeavesAFileThatOpensWithASoundFreeChain) {
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    test::RecordingHistory history;
    {
        RecordFile fresh(DataDir(tmp.path()), messages, history);
        ASSERT_EQ(fresh.Create("opis", kSize), 0);
    }
    // Kills land after varying amounts of work, so they fall into every
    // kind of operation and between the pieces of each; a writer that put
    // its pieces in the wrong order is caught within a few dozen rounds.
    // Each round takes a few milliseconds.
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            keepWriting(tmp.path(), ready[1], static_cast<unsigned>(round));
        }
        ::close(ready[1]);
        char signal = 0;
        ASSERT_EQ(::read(ready[0], &signal, 1), 1);
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>(200 + (round % 40) * 150));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        // Killed by us, not ended by a refused operation.
        ASSERT_TRUE(WIFSIGNALED(status)) << "child ended with " << WEXITSTATUS(status);

        const RecordFileAudit audit = AuditRecordFile(tmp.file("opis"), "opis", kSize);
        ASSERT_TRUE(audit.problems.empty()) << audit.problems.front();
        RecordFile reopened(DataDir(tmp.path()), messages, history);
        ASSERT_EQ(reopened.Open("opis", kSize), 0);
        EXPECT_EQ(reopened.CheckFreeHead(), 0);
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_TRUE(history.entries.empty());
    }
}

} // namespace
} // namespace k4

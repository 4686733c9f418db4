#include "history/history_cut.h"

#include "history_entries.h"
#include "history_fixture.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace k4 {
namespace {

using test::HistoryStation;
using test::localStamp;
using test::reportEntry;

// Entries from October to December 2026, one a day at noon.
std::vector<HistoryEntry> autumn() {
    std::vector<HistoryEntry> all;
    for (int m = 10; m <= 12; ++m)
        for (int d = 1; d <= 28; ++d) all.push_back(reportEntry(localStamp(2026, m, d, 12), m * 100 + d, 0x130));
    return all;
}

LocalDateTime day(int y, int m, int d) {
    LocalDateTime t;
    t.year = y;
    t.month = m;
    t.day = d;
    return t;
}

struct CutStation {
    HistoryStation s;
    std::string old;
    CutStation() {
        s.dir.write("logf", test::historyFileOf(autumn()));
        old = s.dir.read("logf");
        EXPECT_EQ(s.log.OpenHistory("logf"), kHistoryCurrent);
        test::setLocal(s.clock, 2026, 12, 15, 9, 0);
    }
};

TEST(DeleteBefore, KeepsTheRestAndTheOldHistoryOnce) {
    CutStation c;
    int polls = 0;
    c.s.messages.setInputPoll([&] {
        ++polls;
        EXPECT_TRUE(c.s.receptionSuspended);
    });
    c.s.ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(deleteHistoryBefore(c.s.log, c.s.messages, c.s.clock, day(2026, 11, 15)), 0);
    EXPECT_FALSE(c.s.receptionSuspended);
    EXPECT_EQ(c.s.dir.read("ostatni.log"), c.old);
    EXPECT_FALSE(fileExists(c.s.dir.file("newlogf")));
    const auto kept = test::entriesOf(c.s.dir.read("logf"));
    ASSERT_EQ(kept.size(), 14u + 28u + 1u);
    EXPECT_EQ(kept.front().subscriber, 1115);
    // The removal itself is the last entry, logged into the new history.
    EXPECT_TRUE(kept.back().isSystem());
    EXPECT_EQ(kept.back().kindCode(), 26);
    EXPECT_EQ(kept.back().subscriber, 2026);
    EXPECT_EQ(kept.back().subsystem, 11);
    // The history handle is the new file: new entries land there.
    ASSERT_EQ(c.s.log.LogEvent(24, 1), 0);
    EXPECT_EQ(test::entriesOf(c.s.dir.read("logf")).size(), kept.size() + 1);
    EXPECT_EQ(polls, 0); // 84 entries: one block, nothing to poll between
}

TEST(DeleteBefore, OperatorChecksComeFirst) {
    struct Case {
        LocalDateTime date;
        BoxAnswer answer;
        const char* shown;
    };
    const Case cases[] = {
        {day(2026, 12, 16), BoxAnswer::Yes, "Podano datę późniejszą od dzisiejszej! Zdarzenia nie zostaną usunięte!"},
        {day(2026, 11, 1), BoxAnswer::No, "Czy na pewno usunąć zdarzenia do podanej daty?"},
        {day(2026, 12, 2), BoxAnswer::Yes, "Nie można usuwać zdarzeń z bieżącego miesiąca!"},
    };
    for (const Case& k : cases) {
        CutStation c;
        c.s.ui.answers = {k.answer};
        EXPECT_EQ(deleteHistoryBefore(c.s.log, c.s.messages, c.s.clock, k.date), 1);
        EXPECT_EQ(c.s.dir.read("logf"), c.old);
        ASSERT_FALSE(c.s.ui.boxes.empty());
        EXPECT_TRUE(test::contains(c.s.ui.boxes.back().text, k.shown)) << c.s.ui.boxes.back().text;
    }
    // The first day of the current month is allowed.
    CutStation c;
    c.s.ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(deleteHistoryBefore(c.s.log, c.s.messages, c.s.clock, day(2026, 12, 1)), 0);
    EXPECT_EQ(test::entriesOf(c.s.dir.read("logf")).front().subscriber, 1201);
}

// A crash after each durable step: the next start finds "logf" old or new,
// whole, and opens it.
TEST(DeleteBefore, CrashBetweenStepsLeavesOldOrNewHistory) {
    for (int crashAfter = 1; crashAfter <= 4; ++crashAfter) {
        CutStation c;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            c.s.log.setDeleteStepHook([crashAfter](int step) {
                if (step == crashAfter) ::_exit(0);
            });
            c.s.log.DeleteBefore(localStamp(2026, 11, 1));
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "step " << crashAfter;

        c.s.log.CloseHistory();
        const std::string now = c.s.dir.read("logf");
        const auto entries = test::entriesOf(now);
        if (crashAfter < 4) {
            EXPECT_EQ(now, c.old) << "step " << crashAfter;
        } else {
            ASSERT_EQ(entries.size(), 56u);
            EXPECT_EQ(entries.front().subscriber, 1101);
            EXPECT_EQ(c.s.dir.read("ostatni.log"), c.old);
        }
        HistoryStation restarted;
        restarted.dir.write("logf", now);
        EXPECT_EQ(restarted.log.OpenHistory("logf"), kHistoryCurrent) << "step " << crashAfter;
    }
}

TEST(DeleteBefore, FailedCopyLeavesTheHistoryAsItWas) {
    CutStation c;
    // "newlogf" cannot be made: a directory stands in its place.
    ASSERT_EQ(::mkdir(c.s.dir.file("newlogf").c_str(), 0755), 0);
    EXPECT_EQ(c.s.log.DeleteBefore(localStamp(2026, 11, 1)), -1);
    EXPECT_EQ(c.s.dir.read("logf"), c.old);
    EXPECT_FALSE(c.s.receptionSuspended);
    EXPECT_TRUE(test::contains(c.s.boxText(0), "otwarcia pliku tymczasowego"));
}

} // namespace
} // namespace k4

#include "history/hist_filter.h"
#include "history/history_output.h"

#include "history_entries.h"
#include "history_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace k4 {
namespace {

using test::reportEntry;
using test::systemAt;

Stamp at(int minute) { return test::localStamp(2026, 3, 10, 8, minute); }

// One morning of a centre: each entry shows one thing a filter looks at.
std::vector<HistoryEntry> morning() {
    return {
        systemAt(at(0), 1, 0),                                      // 0 start of work
        reportEntry(at(1), 1234, 0x130, 1, 5),                      // 1 dial-up report, subsystem 1 sector 5
        reportEntry(at(2), 1234, 0x101, 0, 0, 1, 3),                // 2 arming over radio, base 3
        reportEntry(at(3), 5678, 0x102, 0, 0, 6, 2),                // 3 disarming over Ethernet, base 2
        systemAt(at(4), 24, 1234),                                  // 4 subscriber saved: value is a subscriber
        systemAt(at(5), 10, 1234),                                  // 5 kind whose value is no subscriber
        reportEntry(at(6), 1234, 0x130, 0, 0, 0, 0, HistoryEntry::kEntryBlocked), // 6 blocked
        reportEntry(at(7), 999, 0x130, 0, 0, 0, 0, 0, 0x1),         // 7 unknown subscriber
        systemAt(at(8), 6, 2),                                      // 8 operator 2 logs in
        reportEntry(at(9), 5678, 0x130),                            // 9
        systemAt(at(10), 6, 3),                                     // 10 operator 3 logs in
        reportEntry(at(11), 1234, 0x130),                           // 11
        systemAt(at(12), 43, 0),                                    // 12 program event with a follower
        reportEntry(at(13), 1, 0x200),                              // 13 its follower
        systemAt(at(14), 8, 5678, 0x21),                            // 14 alarm service, steps 0x21
        systemAt(at(15), 2, 0),                                     // 15 end of work
        reportEntry(0, 1234, 0x130),                                // 16 a hole: no time
    };
}

struct FilterCase {
    const char* name;
    std::function<void(HistFilter&, FilterKnowledge&)> set;
    std::vector<int> expected;
};

TEST(HistFilter, TableOfFiltersOverOneMorning) {
    const std::vector<FilterCase> cases = {
        {"default", [](HistFilter&, FilterKnowledge&) {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"with start and end of work", [](HistFilter& f, FilterKnowledge&) { f.categories = 0; },
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"subscriber", [](HistFilter& f, FilterKnowledge&) { f.subscriber = 1234; }, {1, 2, 4, 6, 11}},
        {"code", [](HistFilter& f, FilterKnowledge&) { f.code = 0x130; }, {1, 6, 7, 9, 11}},
        {"code without blocked",
         [](HistFilter& f, FilterKnowledge&) {
             f.code = 0x130;
             f.categories |= kCategoryNoBlocked;
         },
         {1, 7, 9, 11}},
        {"radio", [](HistFilter& f, FilterKnowledge&) { f.tracks = 1 << kFilterTrackRadio; }, {2}},
        {"radio of another base",
         [](HistFilter& f, FilterKnowledge&) {
             f.tracks = 1 << kFilterTrackRadio;
             f.bases[kFilterTrackRadio] = 4;
         },
         {}},
        {"radio of base 3",
         [](HistFilter& f, FilterKnowledge&) {
             f.tracks = 1 << kFilterTrackRadio;
             f.bases[kFilterTrackRadio] = 3;
         },
         {2}},
        {"radio and Ethernet", [](HistFilter& f, FilterKnowledge&) { f.tracks = (1 << kFilterTrackRadio) | (1 << kFilterTrackEthernet); },
         {2, 3}},
        {"dial-up", [](HistFilter& f, FilterKnowledge&) { f.tracks = 1 << kFilterTrackDialUp; }, {1, 6, 7, 9, 11, 13}},
        {"unknown", [](HistFilter& f, FilterKnowledge&) { f.unknown = 1; }, {7}},
        {"arming", [](HistFilter& f, FilterKnowledge&) { f.categories |= kCategoryArming; }, {2}},
        {"disarming", [](HistFilter& f, FilterKnowledge&) { f.categories |= kCategoryDisarming; }, {3}},
        {"disarming with the wrong-disarming special code",
         [](HistFilter& f, FilterKnowledge& k) {
             f.categories |= kCategoryDisarming;
             k.specialCodes[8] = 0x130;
         },
         {1, 3, 6, 7, 9, 11}},
        {"arming with the early-arming special code",
         [](HistFilter& f, FilterKnowledge& k) {
             f.categories |= kCategoryArming;
             k.specialCodes[1] = 0x200;
         },
         {2, 13}},
        {"program events and the follower", [](HistFilter& f, FilterKnowledge&) { f.categories |= kCategoryProgram; },
         {4, 5, 8, 10, 12, 13, 14}},
        {"program events of one kind",
         [](HistFilter& f, FilterKnowledge&) {
             f.categories |= kCategoryProgram;
             f.code = 6;
         },
         {8, 10}},
        {"operator shift", [](HistFilter& f, FilterKnowledge&) { f.operatorNumber = 2; }, {8, 9}},
        {"operator shift within the time",
         [](HistFilter& f, FilterKnowledge&) {
             f.operatorNumber = 3;
             f.to = at(11);
         },
         {10}},
        {"all alarm service", [](HistFilter& f, FilterKnowledge&) { f.service = 2; }, {14}},
        {"selected step shared",
         [](HistFilter& f, FilterKnowledge&) {
             f.service = 1;
             f.serviceMask = 0x01;
         },
         {14}},
        {"selected step not taken",
         [](HistFilter& f, FilterKnowledge&) {
             f.service = 1;
             f.serviceMask = 0x40;
         },
         {}},
        {"time window",
         [](HistFilter& f, FilterKnowledge&) {
             f.from = at(9);
             f.to = at(12);
         },
         {9, 10, 11}},
        {"subsystem", [](HistFilter& f, FilterKnowledge&) { f.subsystem = 1; }, {1}},
        {"sector", [](HistFilter& f, FilterKnowledge&) { f.sector = 5; }, {1}},
        {"empty only", [](HistFilter& f, FilterKnowledge&) { f.emptyOnly = 1; }, {16}},
    };
    const std::vector<HistoryEntry> entries = morning();
    for (const FilterCase& c : cases) {
        HistFilter filter;
        FilterKnowledge knowledge = test::testKnowledge();
        c.set(filter, knowledge);
        std::vector<int> found;
        for (size_t i = 0; i < entries.size(); ++i)
            if (matchesFilter(filter, entries[i], knowledge)) found.push_back(static_cast<int>(i));
        EXPECT_EQ(found, c.expected) << c.name;
    }
}

TEST(HistFilter, DefaultFilterIsRecognisedAndKeepsNoRunningState) {
    HistFilter f;
    EXPECT_TRUE(f.isDefault());
    f.subscriber = 1;
    EXPECT_FALSE(f.isDefault());
    HistFilter g;
    g.operatorNumber = 2;
    const FilterKnowledge k = test::testKnowledge();
    EXPECT_TRUE(matchesFilter(g, systemAt(at(1), 6, 2), k));
    EXPECT_EQ(g.inShift, 1);
    g.clearRunningState();
    EXPECT_FALSE(matchesFilter(g, reportEntry(at(2), 1, 0x130), k));
}

TEST(HistFilter, ToDateWithoutTimeLeavesOutThatWholeDay) {
    test::HistoryStation s;
    HistFilter f;
    f.categories = 0;
    const std::string day = "2003.05.10";
    f.to = ParseDate(day, nullptr, s.messages);
    const FilterKnowledge k = test::testKnowledge();
    EXPECT_TRUE(matchesFilter(f, reportEntry(test::localStamp(2003, 5, 9, 23, 59, 59), 1, 0x130), k));
    EXPECT_FALSE(matchesFilter(f, reportEntry(test::localStamp(2003, 5, 10, 0, 0, 0), 1, 0x130), k));
    EXPECT_FALSE(matchesFilter(f, reportEntry(test::localStamp(2003, 5, 10, 12, 0, 0), 1, 0x130), k));
}

} // namespace
} // namespace k4

#include "processing/event_table.h"

#include "database/text_edge.h"
#include "platform/data_dir.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

EventTable tableOf(std::initializer_list<int> codes) {
    EventTable t;
    t.setRecords({});
    for (int code : codes) EXPECT_EQ(t.putEvent(makeEventDef(code, "K", "Kod", 1), code), 0);
    return t;
}

TEST(EventTable, InsertionKeepsCodesSortedAndMovesTheIndexBehindIt) {
    EventTable t = tableOf({0x050, 0x200, 0x7FF});
    ASSERT_EQ(t.putEvent(makeEventDef(0x100, "NOWY", "Nowe zdarzenie", 4), 0x100), 0);
    EXPECT_EQ(t.record(1).code, 0x050);
    EXPECT_EQ(t.record(2).code, 0x100);
    EXPECT_EQ(t.record(3).code, 0x200);
    EXPECT_EQ(t.record(4).code, 0x7FF);
    EXPECT_EQ(t.recordOf(0x050), 1);
    EXPECT_EQ(t.recordOf(0x100), 2);
    EXPECT_EQ(t.recordOf(0x200), 3);
    EXPECT_EQ(t.recordOf(0x7FF), 4);
    EXPECT_EQ(t.findEvent(0x200)->code, 0x200);

    // The same code again replaces the definition in place.
    ASSERT_EQ(t.putEvent(makeEventDef(0x100, "INNY", "Zmienione", 9), 0x100), 0);
    EXPECT_EQ(t.recordOf(0x100), 2);
    EXPECT_EQ(t.record(5).code, 0);
    EXPECT_EQ(t.findEvent(0x100)->colourClass(), 9);
}

TEST(EventTable, DeletionClosesTheGapAndTheCodeFallsBackToTheEmptyRecord) {
    EventTable t = tableOf({0x050, 0x100, 0x200});
    ASSERT_EQ(t.deleteEvent(0x100), 0);
    EXPECT_EQ(t.recordOf(0x100), 0);
    EXPECT_EQ(t.recordOf(0x200), 2);
    EXPECT_EQ(t.record(2).code, 0x200);
    EXPECT_TRUE(t.findEvent(0x100)->isEmpty()) << "the reserved record 0: an unknown event";
    EXPECT_EQ(t.deleteEvent(0x100), -1);
    EXPECT_EQ(t.definedCodes(), (std::vector<int>{0x050, 0x200}));
}

TEST(EventTable, FullTableAndCodesOutOfRangeAreRefused) {
    EventTable t;
    t.setRecords({});
    for (int code = 1; code <= 998; ++code) ASSERT_EQ(t.putEvent(makeEventDef(code, "K", "K", 1), code), 0);
    EXPECT_EQ(t.putEvent(makeEventDef(0xF00, "K", "K", 1), 0xF00), -1);
    EXPECT_EQ(t.recordOf(998), 998);
    EventTable empty = tableOf({});
    EXPECT_EQ(empty.putEvent(makeEventDef(0, "K", "K", 1), 0), -1);
    EXPECT_EQ(empty.putEvent(makeEventDef(0xFFF, "K", "K", 1), 0xFFF), -1);
}

TEST(EventTable, KindsOfEvents) {
    EventTable t;
    t.setRecords({});
    const struct {
        int code, kindBits, eventKind;
        bool fire;
    } cases[] = {{0x10, 0x0, 0, false}, {0x11, 0x1, -1, false}, {0x12, 0x2, -2, false},
                 {0x13, 0x3, 0, false}, {0x14, 0x4, 0, true},   {0x15, 0x5, 0, true}};
    for (const auto& c : cases) t.putEvent(makeEventDef(c.code, "K", "K", 4, c.kindBits), c.code);
    for (const auto& c : cases) {
        EXPECT_EQ(t.eventKind(c.code), c.eventKind) << c.code;
        EXPECT_EQ(t.isFireEvent(c.code), c.fire) << c.code;
    }
    EXPECT_EQ(t.eventKind(0x999), 0);
}

TEST(EventTableFile, SavedTableLoadsBackWithItsIndex) {
    test::TempDir dir;
    DataDir data(dir.path());
    EventTable t = tableOf({0x130, 0x602});
    ASSERT_EQ(t.saveEventTable(data, "zdarzen"), -1) << "there is no file yet whose header agrees";
    EventTable fresh;
    ASSERT_EQ(fresh.loadEventTable(data), 0) << "a missing table is created empty";
    EXPECT_EQ(dir.read("zdarzen").size(), 10u + 999 * 43);
    EXPECT_TRUE(fresh.definedCodes().empty());
    ASSERT_EQ(t.saveEventTable(data, "zdarzen"), 0);
    EventTable loaded;
    ASSERT_EQ(loaded.loadEventTable(data), 0);
    EXPECT_EQ(loaded.definedCodes(), (std::vector<int>{0x130, 0x602}));
    EXPECT_EQ(loaded.findEvent(0x602)->shortText(), "K");
}

TEST(EventTableFile, TableOfAnotherRecordSizeIsRefusedAndKept) {
    test::TempDir dir;
    // Header: -1, -1, record size 42, count 999.
    std::string image("\xFF\xFF\xFF\xFF\xFF\xFF\x2A\x00\xE7\x03", 10);
    image += std::string(42 * 999, 'x');
    dir.write("zdarzen", image);
    EventTable t;
    EXPECT_EQ(t.loadEventTable(DataDir(dir.path())), -1);
    EXPECT_FALSE(t.available());
    EXPECT_EQ(t.findEvent(0x130), nullptr);
    EXPECT_EQ(dir.read("zdarzen"), image);
}

} // namespace
} // namespace k4

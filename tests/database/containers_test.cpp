#include "database/list_t.h"
#include "database/plist.h"
#include "database/table.h"
#include "platform/little_endian.h"
#include "messages/messages.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

std::string items(const ListT<Int32Le>& list) {
    std::string s;
    for (int i = 0; i < list.Capacity(); ++i) s += std::to_string(int32_t(list.Item(i))) + " ";
    return s + "#" + std::to_string(list.Count());
}

TEST(ListT, ChangesTheParentArrayInPlaceAndRefusesOutsideItsBounds) {
    Int32Le parent[4] = {0, 0, 0, 0};
    ListT<Int32Le> list(parent, 4);
    EXPECT_EQ(list.Add(Int32Le(10)), 0);
    EXPECT_EQ(list.Add(Int32Le(30)), 0);
    EXPECT_EQ(list.Insert(Int32Le(20), 1), 0);
    EXPECT_EQ(items(list), "10 20 30 0 #3");
    EXPECT_EQ(parent[1], 20); // the parent's bytes, not a copy
    EXPECT_EQ(list.Put(Int32Le(40), 3), 0);
    EXPECT_EQ(items(list), "10 20 30 40 #4");
    EXPECT_EQ(list.Add(Int32Le(50)), -1);       // full
    EXPECT_EQ(list.Insert(Int32Le(50), 0), -1); // full
    EXPECT_EQ(list.Remove(1), 0);
    EXPECT_EQ(items(list), "10 30 40 0 #3");
    EXPECT_EQ(list.Clear(0), 0);
    EXPECT_EQ(items(list), "0 30 40 0 #2");
    EXPECT_EQ(list.Put(Int32Le(1), 4), -1);
    EXPECT_EQ(list.Put(Int32Le(1), -1), -1);
    EXPECT_EQ(list.Recount(), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Remove(0), -1); // empty
    EXPECT_EQ(list.Clear(0), -1);

    ListT<Int32Le> own(3); // an array of its own, zeroed
    EXPECT_EQ(items(own), "0 0 0 #0");
}

struct PListTest : ::testing::Test {
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
};

TEST_F(PListTest, SixteenBlocksAreTheLimit) {
    PList<int32_t> list(messages, 100);
    EXPECT_FALSE(list.IsAllocated());
    for (int i = 0; i < 1600; ++i) ASSERT_EQ(list.Add(i), 0);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(list.Add(1600), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Osiągnięto MAX_BLOCK_NBR w PList");
    EXPECT_EQ(ui.boxes[0].caption, "Informacja");
    EXPECT_EQ(list.Count(), 1600);
    EXPECT_EQ(list.Get(1599), 1599);
}

TEST_F(PListTest, InsertAndRemoveMoveElementsAcrossBlocks) {
    PList<int16_t> list(messages, 3);
    for (int16_t v : {1, 2, 3, 4}) list.Add(v);
    EXPECT_EQ(list.InsertAt(9, 1), 0); // 1 9 2 | 3 4
    EXPECT_EQ(list.InsertAt(8, 6), -1);
    std::string s;
    for (int i = 0; i < list.Count(); ++i) s += std::to_string(list.Get(i));
    EXPECT_EQ(s, "19234");
    EXPECT_EQ(list.RemoveAt(0), 0); // 9 2 3 | 4
    EXPECT_EQ(list.RemoveAt(0), 0); // 2 3 4, the second block freed
    s.clear();
    for (int i = 0; i < list.Count(); ++i) s += std::to_string(list.Get(i));
    EXPECT_EQ(s, "234");
    EXPECT_EQ(list.Get(3), 0);
    // The freed block is allocated afresh.
    EXPECT_EQ(list.Add(5), 0);
    EXPECT_EQ(list.Get(3), 5);
    EXPECT_TRUE(ui.boxes.empty());
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.IsAllocated());
}

TEST(Table, MissingFileIsCreatedZeroedAndAnotherShapeIsRefused) {
    test::TempDir tmp;
    uint8_t records[3][5];
    std::memset(records, 0xEE, sizeof records);
    Table table(DataDir(tmp.path()), records);
    ASSERT_EQ(table.Load("tabela", 5, 3), 0);
    EXPECT_EQ(tmp.read("tabela"), std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x05\x00\x03\x00", 10) + std::string(15, '\0'));
    EXPECT_EQ(records[2][4], 0);

    ASSERT_EQ(table.WriteOne("tabela", 1, "ABCDE"), 0);
    EXPECT_EQ(tmp.read("tabela").substr(15, 5), "ABCDE");
    EXPECT_EQ(std::memcmp(records[1], "ABCDE", 5), 0);
    EXPECT_EQ(table.WriteOne("tabela", 3, "ABCDE"), -1);
    ASSERT_EQ(table.ClearOne("tabela", 1), 0);
    EXPECT_EQ(tmp.read("tabela").substr(15, 5), std::string(5, '\0'));

    std::memcpy(records[2], "XYZ12", 5);
    ASSERT_EQ(table.Save("tabela", 5, 3), 0);
    EXPECT_EQ(tmp.read("tabela").substr(20, 5), "XYZ12");

    const std::string good = tmp.read("tabela");
    EXPECT_EQ(table.Load("tabela", 6, 3), -1);
    EXPECT_EQ(table.Load("tabela", 5, 4), -1);
    EXPECT_EQ(table.Save("tabela", 5, 4), -1);
    tmp.write("krotka", good.substr(0, good.size() - 1));
    EXPECT_EQ(table.Load("krotka", 5, 3), -1);
    EXPECT_EQ(tmp.read("tabela"), good);
}

TEST(TableList, ListsTheUsedEntriesAscending) {
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    uint8_t records[4][2] = {};
    TableList list(DataDir(tmp.path()), messages, records, 2, 4);
    ASSERT_EQ(list.Load("lista"), 0);
    EXPECT_EQ(list.used().Count(), 0);
    list.table().WriteOne("lista", 3, "\x00\x01");
    list.table().WriteOne("lista", 1, "\x07\x00");
    ASSERT_EQ(list.Load("lista"), 0);
    ASSERT_EQ(list.used().Count(), 2);
    EXPECT_EQ(list.used().Get(0), 1);
    EXPECT_EQ(list.used().Get(1), 3);
}

} // namespace
} // namespace k4

#include "shell/checking_panel.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(CheckingCells, RowsOfAtMostFour) {
    struct Case {
        int paths, rows, columns, width, height;
    };
    // The panel of the main window is 305 x 292.
    const Case cases[] = {
        {1, 1, 1, 302, 291}, {2, 1, 2, 151, 291}, {4, 1, 4, 75, 291},
        {5, 2, 3, 100, 145}, {8, 2, 4, 75, 145},  {9, 3, 3, 100, 96},
    };
    for (const Case& c : cases) {
        const auto cells = checkingCells(c.paths, 305, 292);
        ASSERT_EQ(static_cast<int>(cells.size()), c.paths);
        int columns = 0, rows = 0;
        for (const auto& cell : cells) {
            EXPECT_EQ(cell.width, c.width) << c.paths;
            EXPECT_EQ(cell.height, c.height) << c.paths;
            columns += cell.top == 1;
            rows += cell.left == 2;
        }
        EXPECT_EQ(columns, c.columns) << c.paths;
        EXPECT_EQ(rows, c.rows) << c.paths;
    }
    const auto five = checkingCells(5, 305, 292);
    EXPECT_EQ(five[4].left, 1 * 100 + 2);
    EXPECT_EQ(five[4].top, 1 * 145 + 1);
    EXPECT_TRUE(checkingCells(0, 305, 292).empty());
}

TEST(CheckLst, FullListDropsTheOldestAndUpdatesFindTheNewestMatch) {
    CheckLst list(3);
    EXPECT_TRUE(list.add({2, 12, 2}));
    EXPECT_TRUE(list.add({2, 34, 2}));
    EXPECT_TRUE(list.add({2, 12, 2}));
    EXPECT_FALSE(list.add({2, 56, 2})) << "full: no new line";
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list[0].subscriber, 34);

    EXPECT_EQ(list.update({2, 12, 0}), 1);
    EXPECT_EQ(list.lineText(1), "0012   OK ");
    EXPECT_EQ(list.update({3, 34, 1}), -1) << "another slot";
    EXPECT_EQ(list.update({2, 34, 1}), 0);
    EXPECT_EQ(list.lineText(0), "0034  BRAK");
    EXPECT_EQ(list.lineText(2), "0056  SPR.");
}

TEST(CheckedPathKinds, OnlyTheSupervisedKinds) {
    for (int kind : {0x10, 0x30, 0x40, 0x60, 0x90, 0xB0}) EXPECT_TRUE(isCheckedPathKind(kind)) << kind;
    for (int kind : {0x00, 0x20, 0x50, 0x70, 0x80, 0xA0, 0xC0}) EXPECT_FALSE(isCheckedPathKind(kind)) << kind;
}

} // namespace
} // namespace k4

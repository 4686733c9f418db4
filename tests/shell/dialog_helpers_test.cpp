#include "shell/button_row.h"
#include "shell/key_filters.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(KeyFilters, AllowedCharactersPerFilter) {
    for (char c = '0'; c <= '9'; ++c) {
        EXPECT_EQ(DigitsKey(c), c);
        EXPECT_EQ(HexDigitsKey(c), c);
        EXPECT_EQ(DecimalKey(c, "1.5"), c);
        EXPECT_EQ(DigitsPlusKey(c, ':'), c);
    }
    for (char key : {'\b'}) {
        EXPECT_EQ(DigitsKey(key), key);
        EXPECT_EQ(HexDigitsKey(key), key);
        EXPECT_EQ(DecimalKey(key, "1."), key);
        EXPECT_EQ(DigitsPlusKey(key, '.'), key);
    }
    EXPECT_EQ(DigitsKey('a'), 0);
    EXPECT_EQ(DigitsKey('.'), 0);
    EXPECT_EQ(HexDigitsKey('b'), 'B');
    EXPECT_EQ(HexDigitsKey('F'), 'F');
    EXPECT_EQ(HexDigitsKey('g'), 0);
    EXPECT_EQ(DecimalKey('.', "12"), '.');
    EXPECT_EQ(DecimalKey('.', "1.2"), 0);
    EXPECT_EQ(DigitsPlusKey(':', ':'), ':');
    EXPECT_EQ(DigitsPlusKey('.', ':'), 0);
    // Bytes above 0x7F are never digits, whatever page they come from.
    for (int c = 0x80; c < 0x100; ++c) {
        const char key = static_cast<char>(c);
        EXPECT_EQ(DigitsKey(key), 0);
        EXPECT_EQ(HexDigitsKey(key), 0);
        EXPECT_EQ(DecimalKey(key, ""), 0);
        EXPECT_EQ(DigitsPlusKey(key, ':'), 0);
    }
}

TEST(SpreadButtonRow, ShowsTheButtonsOfTheSituationEvenlySpaced) {
    std::vector<RowButton> row(4);
    const int tags[] = {0, 1, 2, 0};
    for (int i = 0; i < 4; ++i) {
        row[i].tag = tags[i];
        row[i].tabOrder = i;
        row[i].width = 75;
    }
    SpreadButtonRow(row, 1, 405);
    EXPECT_TRUE(row[0].visible);
    EXPECT_TRUE(row[1].visible);
    EXPECT_FALSE(row[2].visible);
    EXPECT_TRUE(row[3].visible);
    // step (75 + 405) / 4 = 120: lefts 45, 165, 285 leave 45 pixels between all.
    EXPECT_EQ(row[0].left, 45);
    EXPECT_EQ(row[1].left, 165);
    EXPECT_EQ(row[3].left, 285);
}

TEST(SpreadButtonRow, TabOrderDecidesThePlacesAndTiesKeepCreationOrder) {
    std::vector<RowButton> row(3);
    row[0] = {0, 2, 80};
    row[1] = {0, 1, 60};
    row[2] = {0, 1, 60};
    SpreadButtonRow(row, 0, 320);
    // w is the first created button's width: step (80 + 320) / 4 = 100.
    EXPECT_EQ(row[1].left, 20);
    EXPECT_EQ(row[2].left, 120);
    EXPECT_EQ(row[0].left, 220);
}

} // namespace
} // namespace k4

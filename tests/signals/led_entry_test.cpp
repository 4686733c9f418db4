#include "signals/led_entry.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(LedEntryTest, FiveBytesOfTheLayout) {
    const auto e = ledEntryOf({7, 0x130, 3, 0x131, 0, false});
    ASSERT_TRUE(e);
    EXPECT_EQ(e->bytes(), (std::array<uint8_t, 5>{7, 0x30, 0x31, 0x31, 0x01}));
    EXPECT_EQ(LedEntry::fromBytes(e->bytes()).lighting, 0x3130);
    EXPECT_FALSE(ledEntryOf({0, 0x130, 3, 0, 0, false})) << "a zero LED number stores nothing";
    EXPECT_EQ(ledEntryOf({5, 0, 3, 0x131, 2, false})->bytes(), (std::array<uint8_t, 5>{5, 0, 0, 0, 0}))
        << "a zero lighting code stores only the LED number";
    EXPECT_EQ(ledEntryOf({5, 0x130, 1, 0x131, 2, true})->extinguishing, 0) << "Gaszenie automatyczne";
}

TEST(LedEntryTest, SixteenEntriesAndTwoSets) {
    LedList list;
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(list.add({static_cast<uint8_t>(i + 1), 0, 0}));
    EXPECT_FALSE(list.add({17, 0, 0}));
    EXPECT_EQ(ledSetOf("1"), 0);
    EXPECT_EQ(ledSetOf("2"), 1);
    EXPECT_FALSE(ledSetOf("3"));
    EXPECT_FALSE(ledSetOf(""));
}

} // namespace
} // namespace k4

#include "operators/scramble.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

TEST(Scramble, FirstBytesFollowTheRule) {
    uint8_t field[kCodeFieldSize] = {'1', '2', 0};
    scrambleCode(field);
    EXPECT_EQ(field[0], 0xFF - '1');                               // 0xCE, -50 signed
    EXPECT_EQ(field[1], static_cast<uint8_t>(0xFF - ('2' - 50)));  // 0xFF - 0 = 0xFF
    EXPECT_EQ(field[2], static_cast<uint8_t>(0xFF - (0 + -1)));    // 0xFF - (-1) -> 0x00
}

TEST(Scramble, TextsComeBackUnscrambled) {
    for (const char* text : {"kestrel", "1234", "", "0123456789", "\x9C\xA2" "d\xA6", "zzzzzzzzzz"}) {
        uint8_t field[kCodeFieldSize];
        scrambledField(text, field);
        EXPECT_EQ(unscrambledText(field), std::string(text).substr(0, 10)) << text;
    }
}

TEST(Scramble, LongTextKeepsItsFirstTenBytes) {
    uint8_t field[kCodeFieldSize];
    scrambledField("abcdefghijklmnop", field);
    EXPECT_EQ(unscrambledText(field), "abcdefghij");
}

} // namespace
} // namespace k4

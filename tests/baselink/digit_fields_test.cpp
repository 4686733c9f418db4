#include "baselink/digit_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace k4 {
namespace {

uint32_t hex(const std::string& field) {
    return readHexDigits(reinterpret_cast<const uint8_t*>(field.data()), static_cast<int>(field.size()));
}

TEST(ReadHexDigits, EachByteOneDigitRawOrCharacterAcrossTheNineToAStep) {
    struct Case {
        std::string field;
        uint32_t value;
    };
    const Case cases[] = {
        {"9", 9},  // the last character read as byte - 0x30
        {"A", 10}, // the first read as byte - 0x37
        {"9A", 0x9A},
        {"A9", 0xA9},
        {"0", 0},
        {"F", 15},
        {"1AB", 0x1AB},
        {std::string("\x09\x0A", 2), 0x9A}, // raw digit values, one a byte
        {std::string("\x00\x0F", 2), 0x0F},
        {std::string("\x01" "A" "\x0B", 3), 0x1AB}, // both forms in one field
    };
    for (const Case& c : cases) EXPECT_EQ(hex(c.field), c.value) << c.field;
}

} // namespace
} // namespace k4

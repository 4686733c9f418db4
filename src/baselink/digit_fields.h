#pragma once
// Digit fields of base frames: one digit a byte, most significant first.
// Bases send either raw digit values (0x00..0x0F) or ASCII characters.
#include <cstdint>

namespace k4 {

// Each byte one hexadecimal digit: a byte below 0x10 is the digit itself,
// up to '9' it is the character, above it 'A' counts 10.
uint32_t readHexDigits(const uint8_t* field, int count);
// Decimal digits, raw or as characters as the first byte decides; -1 when
// a byte breaks that form.
int32_t readDecimalDigits(const uint8_t* field, int count);
// A subscriber field: four decimal digits, or read as hexadecimal when any
// of them is not decimal (so "AAAA" is 0xAAAA).
uint16_t readSubscriberDigits(const uint8_t* field);

} // namespace k4

#pragma once
// Personal codes and the supervisor password are kept scrambled in 11-byte
// fields; unscrambled they are NUL-terminated Mazovia text of at most 10
// characters.
#include <cstdint>
#include <string>
#include <string_view>

namespace k4 {

constexpr int kCodeFieldSize = 11;

void scrambleCode(uint8_t* field);
void unscrambleCode(uint8_t* field);

// The scrambled field of a text: its first 10 bytes, NUL-padded.
void scrambledField(std::string_view text, uint8_t* field);
// The text of a scrambled field.
std::string unscrambledText(const uint8_t* field);

} // namespace k4

#include "operators/scramble.h"

#include <cstring>

namespace k4 {

namespace {
// The bytes are taken as signed; the remainder follows the sign of the
// dividend, as the C++ % operator does.
uint8_t step(uint8_t value, uint8_t previous) {
    const int sum = static_cast<int8_t>(value) + static_cast<int8_t>(previous);
    return static_cast<uint8_t>((0xFF - (sum % 255)) & 0xFF);
}
} // namespace

void scrambleCode(uint8_t* b) {
    b[0] = static_cast<uint8_t>(0xFF - b[0]);
    for (int k = 1; k < kCodeFieldSize; ++k) b[k] = step(b[k], b[k - 1]);
}

void unscrambleCode(uint8_t* b) {
    for (int k = kCodeFieldSize - 1; k >= 1; --k) b[k] = step(b[k], b[k - 1]);
    b[0] = static_cast<uint8_t>(0xFF - b[0]);
}

void scrambledField(std::string_view text, uint8_t* field) {
    std::memset(field, 0, kCodeFieldSize);
    std::memcpy(field, text.data(), text.size() < 10 ? text.size() : 10);
    scrambleCode(field);
}

std::string unscrambledText(const uint8_t* field) {
    uint8_t copy[kCodeFieldSize];
    std::memcpy(copy, field, kCodeFieldSize);
    unscrambleCode(copy);
    copy[kCodeFieldSize - 1] = 0; // never read past the field
    return reinterpret_cast<const char*>(copy);
}

} // namespace k4

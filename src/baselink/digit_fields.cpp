#include "baselink/digit_fields.h"

namespace k4 {

uint32_t readHexDigits(const uint8_t* field, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t b = field[i];
        const uint32_t digit = (b & 0xF0) == 0 ? b : b <= '9' ? uint32_t(b - 0x30) : uint32_t(b - 0x37);
        value = value * 16 + digit;
    }
    return value;
}

int32_t readDecimalDigits(const uint8_t* field, int count) {
    if (count <= 0) return 0;
    const bool raw = (field[0] & 0xF0) == 0;
    int32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t b = field[i];
        int digit;
        if (raw) {
            if (b > 9) return -1;
            digit = b;
        } else {
            // The form of characters: at most '9' and no control bytes
            // masquerading as digits.
            if (b > '9' || b < '0') return -1;
            digit = b - 0x30;
        }
        value = value * 10 + digit;
    }
    return value;
}

uint16_t readSubscriberDigits(const uint8_t* field) {
    const int32_t decimal = readDecimalDigits(field, 4);
    if (decimal >= 0) return static_cast<uint16_t>(decimal);
    return static_cast<uint16_t>(readHexDigits(field, 4));
}

} // namespace k4

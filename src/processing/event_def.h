#pragma once
// The definition of one event code of the centre's standard table: names,
// colour class (which is also the alarm class) and kind. 43 bytes, stored
// whole in the table file "zdarzen".
#include "platform/little_endian.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace k4 {

struct EventDef {
    Uint16Le code;       // 1..4094; 0 marks an empty record
    char shortName[9];   // Mazovia, NUL-terminated, at most 8 characters
    char fullName[31];   // Mazovia, NUL-terminated, at most 30 characters
    uint8_t classKind;   // low nibble colour class, high nibble kind bits

    int colourClass() const { return classKind & 0x0F; }
    int kindBits() const { return classKind >> 4; }
    bool isEmpty() const;
    // The names up to their NUL, never past their fields.
    std::string shortText() const;
    std::string fullText() const;
};
static_assert(sizeof(EventDef) == 43);
static_assert(offsetof(EventDef, shortName) == 2);
static_assert(offsetof(EventDef, fullName) == 11);
static_assert(offsetof(EventDef, classKind) == 42);

// Kind bits (high nibble of classKind); none set is an ordinary event.
enum : int {
    kEventArming = 0x1,    // "załączenie"
    kEventDisarming = 0x2, // "wyłączenie"
    kEventFire = 0x4,      // "pożarowe"
};

// The lowest and highest code a definition may have.
constexpr int kFirstEventCode = 1;
constexpr int kLastEventCode = 4094;

// Colour class 0 is a plain report; 1..15 are alarm classes. RGB values.
constexpr uint32_t kClassColours[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0xAA0000, 0x800080, 0x800000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF4040, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// A definition from UTF-8 names, converted to their stored form.
EventDef makeEventDef(int code, const std::string& shortUtf8, const std::string& fullUtf8, int colourClass,
                      int kindBits = 0);

} // namespace k4

#pragma once
// The LED panel's entries as its dialogs present them: 5 bytes per LED, at
// most 16 per subscriber, a mask of the entries tested on request and the
// LED set. Nothing stores them and no command goes to the panel: the panel
// port is opened and stays silent.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k4 {

struct LedEntry {
    uint8_t led = 0;
    uint16_t lighting = 0;      // bits 0-11 event code, 12-15 colour index 1-15 (0 none)
    uint16_t extinguishing = 0; // same; 0 = "Gaszenie automatyczne"

    std::array<uint8_t, 5> bytes() const;
    static LedEntry fromBytes(const std::array<uint8_t, 5>& b);
};

struct LedList {
    static constexpr int kMaxEntries = 16;
    std::vector<LedEntry> entries;
    uint16_t testOnRequest = 0; // bit i: entry i is "Badanie na żądanie"
    int ledSet = 0;             // 0 or 1, shown as 1 or 2
    bool add(const LedEntry& e);
};

// The fields of the "Dioda" dialog.
struct LedFields {
    int led = 0;
    int lightingCode = 0;
    int lightingColour = 0;
    int extinguishingCode = 0;
    int extinguishingColour = 0;
    bool automatic = false;
};
// "&Zapisz": a zero LED number stores nothing; a zero lighting code stores
// only the LED number.
std::optional<LedEntry> ledEntryOf(const LedFields& f);

// The set field accepts "1" or "2"; anything else is refused (nullopt).
std::optional<int> ledSetOf(const std::string& text);

} // namespace k4

#include "signals/led_entry.h"

namespace k4 {

std::array<uint8_t, 5> LedEntry::bytes() const {
    return {led, static_cast<uint8_t>(lighting & 0xFF), static_cast<uint8_t>(lighting >> 8),
            static_cast<uint8_t>(extinguishing & 0xFF), static_cast<uint8_t>(extinguishing >> 8)};
}

LedEntry LedEntry::fromBytes(const std::array<uint8_t, 5>& b) {
    LedEntry e;
    e.led = b[0];
    e.lighting = static_cast<uint16_t>(b[1] | (b[2] << 8));
    e.extinguishing = static_cast<uint16_t>(b[3] | (b[4] << 8));
    return e;
}

bool LedList::add(const LedEntry& e) {
    if (static_cast<int>(entries.size()) >= kMaxEntries) return false;
    entries.push_back(e);
    return true;
}

std::optional<LedEntry> ledEntryOf(const LedFields& f) {
    if (f.led <= 0 || f.led > 255) return std::nullopt;
    LedEntry e;
    e.led = static_cast<uint8_t>(f.led);
    if (f.lightingCode == 0) return e;
    e.lighting = static_cast<uint16_t>((f.lightingCode & 0x0FFF) | ((f.lightingColour & 0x0F) << 12));
    if (!f.automatic && f.extinguishingCode != 0)
        e.extinguishing = static_cast<uint16_t>((f.extinguishingCode & 0x0FFF) | ((f.extinguishingColour & 0x0F) << 12));
    return e;
}

std::optional<int> ledSetOf(const std::string& text) {
    if (text == "1") return 0;
    if (text == "2") return 1;
    return std::nullopt;
}

} // namespace k4

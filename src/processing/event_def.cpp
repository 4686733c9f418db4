#include "processing/event_def.h"

#include "database/text_edge.h"

#include <algorithm>
#include <cstring>

namespace k4 {

bool EventDef::isEmpty() const {
    const auto* bytes = reinterpret_cast<const uint8_t*>(this);
    return std::all_of(bytes, bytes + sizeof *this, [](uint8_t b) { return b == 0; });
}

std::string EventDef::shortText() const { return {shortName, ::strnlen(shortName, sizeof shortName)}; }
std::string EventDef::fullText() const { return {fullName, ::strnlen(fullName, sizeof fullName)}; }

EventDef makeEventDef(int code, const std::string& shortUtf8, const std::string& fullUtf8, int colourClass,
                      int kindBits) {
    EventDef d{};
    d.code = static_cast<uint16_t>(code);
    const std::string s = mz(shortUtf8);
    const std::string f = mz(fullUtf8);
    std::memcpy(d.shortName, s.data(), std::min(s.size(), sizeof d.shortName - 1));
    std::memcpy(d.fullName, f.data(), std::min(f.size(), sizeof d.fullName - 1));
    d.classKind = static_cast<uint8_t>((colourClass & 0x0F) | ((kindBits & 0x0F) << 4));
    return d;
}

} // namespace k4

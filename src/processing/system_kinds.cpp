#include "processing/system_kinds.h"

#include "database/text_edge.h"

#include <cstdio>

namespace k4 {

std::vector<SystemKindLine> systemKindLines(const EventFormatter& formatter) {
    // Compared over its first 17 characters: the text of an unknown kind.
    static const std::string unknown = mz("Nieistniejące zdarzenie").substr(0, 17);
    constexpr size_t kPrefixColumns = 20;
    std::vector<SystemKindLine> lines;
    auto add = [&](int kind) {
        HistoryEntry e{};
        e.flags = HistoryEntry::kEntrySystem;
        e.kind = static_cast<uint16_t>(kind);
        const std::string full = formatter.formatEvent(e);
        const std::string text = full.size() > kPrefixColumns ? full.substr(kPrefixColumns) : std::string();
        if (text.compare(0, unknown.size(), unknown) == 0) return;
        char code[8];
        std::snprintf(code, sizeof code, "%3.3X ", kind);
        lines.push_back({kind, code + text});
    };
    for (int kind = 0; kind <= 79; ++kind) add(kind);
    for (int kind = 302; kind <= 305; ++kind) add(kind);
    return lines;
}

} // namespace k4

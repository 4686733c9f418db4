#include "net/base_text_log.h"

#include "history/history_entry.h"
#include "history/history_log.h"

#include <cstring>

namespace k4 {

namespace {

constexpr uint8_t kTextEntryFlags = 5; // a system entry that carries text
constexpr int kMaxChunks = 10;

} // namespace

void logBaseText(HistoryLog& history, int transmissionType, int baseNumber, std::string_view s, size_t n) {
    n = std::min(n, s.size());
    const int extra = ((transmissionType & 0x0F) << 4) | (baseNumber & 0x0F);
    int written = 0;
    auto write = [&](size_t from, size_t count, bool closing) {
        HistoryEntry e = systemEntry(kHistoryBaseText, 0, 0, 0, extra, true);
        e.flags = static_cast<uint8_t>(kTextEntryFlags | (closing ? (count & 0x0F) << 4 : 0));
        auto* bytes = reinterpret_cast<uint8_t*>(&e);
        std::memcpy(bytes + 5, s.data() + from, count);
        const uint16_t mark = static_cast<uint16_t>((written == 0 ? 0 : 1) | (closing ? 0x80 : 0));
        e.code2 = static_cast<uint16_t>((e.code2 & 0xF000) | mark);
        history.LogEvent(kHistoryBaseText, e);
        ++written;
    };
    const size_t whole = std::min<size_t>(n / 5, kMaxChunks);
    for (size_t k = 0; k < whole; ++k) write(5 * k, 5, false);
    if (n % 5 != 0) write(5 * whole, n % 5, true);
}

} // namespace k4

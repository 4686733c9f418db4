#include "history/history_reader.h"

#include "history/history_upgrade.h"
#include "platform/file.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace k4 {

namespace {

bool allBytesAre(const uint8_t* b, size_t n, uint8_t v) {
    for (size_t i = 0; i < n; ++i)
        if (b[i] != v) return false;
    return true;
}

constexpr size_t kBlockEntries = 1000;

} // namespace

HistoryReadResult readHistoryFile(const std::string& path, const std::function<bool(const HistoryEntry&)>& each) {
    HistoryReadResult result;
    File file;
    if (!file.open(path, File::Mode::ReadOnly)) return result;
    const int64_t size = file.size();
    uint8_t head[kHistoryHeaderSize];
    if (size < static_cast<int64_t>(sizeof head) || !file.readAt(0, head, sizeof head)) return result;

    int64_t start = 0;
    size_t entrySize = 0;
    if (allBytesAre(head, sizeof head, kHistoryHeaderByte)) {
        result.generation = HistoryGeneration::Current;
        start = kHistoryHeaderSize;
        entrySize = kHistoryEntrySize;
    } else if (allBytesAre(head, sizeof head, head[0]) && head[0] >= 0xFC && head[0] <= 0xFF) {
        result.generation = HistoryGeneration::Transitional;
        return result;
    } else if (size % static_cast<int64_t>(kPreviousEntrySize) == 0) {
        result.generation = HistoryGeneration::Previous;
        entrySize = kPreviousEntrySize;
    } else {
        result.generation = HistoryGeneration::Unknown;
        return result;
    }

    const int64_t whole = (size - start) / static_cast<int64_t>(entrySize);
    result.tornBytes = size - start - whole * static_cast<int64_t>(entrySize);
    std::vector<uint8_t> block(kBlockEntries * entrySize);
    for (int64_t done = 0; done < whole;) {
        const int64_t n = std::min<int64_t>(whole - done, static_cast<int64_t>(kBlockEntries));
        const int64_t at = start + done * static_cast<int64_t>(entrySize);
        if (!file.readAt(at, block.data(), static_cast<size_t>(n) * entrySize)) {
            result.readError = true;
            return result;
        }
        for (int64_t i = 0; i < n; ++i) {
            HistoryEntry e;
            const uint8_t* p = block.data() + static_cast<size_t>(i) * entrySize;
            if (entrySize == kHistoryEntrySize) {
                std::memcpy(&e, p, sizeof e);
            } else {
                uint8_t old[kPreviousEntrySize];
                std::memcpy(old, p, sizeof old);
                e = convertPreviousEntry(old);
            }
            ++result.entries;
            if (!each(e)) return result;
        }
        done += n;
    }
    return result;
}

} // namespace k4

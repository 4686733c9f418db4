#include "processing/supervised_list.h"

#include "database/index_file.h"
#include "database/sbscrbr.h"
#include "database/subscriber_indexes.h"
#include "processing/test_supervision.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

constexpr uint8_t kArmed = 0x01;
constexpr uint8_t kDisarmed = 0x02;

// Writes text into the line from column at, over what is there.
void put(std::string& line, int at, const std::string& text) {
    if (at < 0) return;
    if (static_cast<int>(line.size()) < at + static_cast<int>(text.size())) line.resize(at + text.size(), ' ');
    line.replace(static_cast<size_t>(at), text.size(), text);
}

} // namespace

std::string supervisedLine(const SubscriberRecord& r, int width, bool activeOnly) {
    const int w = width > 199 ? 199 : width;
    char head[64];
    std::snprintf(head, sizeof head, "%4.4d %-30.30s ", static_cast<int>(r.object),
                  std::string(r.name, strnlen(r.name, sizeof r.name)).c_str());
    std::string line = head;
    if (static_cast<int>(line.size()) < w) line.resize(static_cast<size_t>(w), ' ');
    // Marks of the paths; the ones of supervised paths are shown red, which
    // the "~" around them asks for. The columns are set from the end, so
    // the marks keep their places whatever the "~" do to the drawing.
    struct Mark {
        uint8_t bit;
        int column;
        std::string text;
    };
    const bool hasIp = reinterpret_cast<const uint8_t*>(&r.ip)[0] != 0;
    char radio[4], fixed[4];
    std::snprintf(radio, sizeof radio, "R%d", ((r.tracks_nbr >> 4) & 0x0F) + 1);
    std::snprintf(fixed, sizeof fixed, "S%d", (r.tracks_nbr & 0x0F) + 1);
    const Mark marks[] = {{kTrackDialUp, 43, "K"},   {kTrackRadio, 41, radio},     {kTrackFixedLine, 38, fixed},
                          {kTrackGsm, 35, hasIp ? "G" : "g"}, {kTrackAdemco, 33, "A"}, {kTrackContactId, 31, "C"}};
    for (const Mark& m : marks) {
        if (!(r.tracks & m.bit)) continue;
        put(line, w - m.column, m.text);
        if (m.bit == kTrackGsm && hasIp && (r.test_state & 0x80)) {
            put(line, w - 36, "(");
            put(line, w - 34, ")");
        }
    }
    put(line, w - 29, testDisplay(r));
    for (int i = 0; i < 10; ++i) {
        const uint8_t state = r.arm_state[i];
        if (activeOnly && !((r.arm_mask >> i) & 1)) continue;
        if (state & kArmed) put(line, w - 22 + 2 * i, "Z");
        else if (state & kDisarmed) put(line, w - 22 + 2 * i, "W");
    }
    // The red marks go in last, from the right, so each "~" pair only moves
    // what lies after it in the text, never the columns computed above.
    std::vector<std::pair<int, int>> red; // column, length
    for (const Mark& m : marks)
        if ((r.tracks & m.bit) && (r.chk_tracks & m.bit)) red.emplace_back(w - m.column, static_cast<int>(m.text.size()));
    for (int i = 9; i >= 0; --i) {
        if (activeOnly && !((r.arm_mask >> i) & 1)) continue;
        if (!(r.arm_state[i] & kArmed) && (r.arm_state[i] & kDisarmed)) red.emplace_back(w - 22 + 2 * i, 1);
    }
    std::sort(red.begin(), red.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [at, length] : red) {
        if (at < 0 || at + length > static_cast<int>(line.size())) continue;
        line.insert(static_cast<size_t>(at + length), "~");
        line.insert(static_cast<size_t>(at), "~");
    }
    return line;
}

bool passesFilter(const SubscriberRecord& r, uint16_t mask) {
    if (mask == kNoFilter) return true;
    if (mask == 0) return false;
    const uint8_t e = static_cast<uint8_t>(mask >> 8);
    if (e != 0) {
        bool kept = false;
        for (uint8_t state : r.arm_state) kept |= (state & e) != 0;
        const uint8_t v = static_cast<uint8_t>(mask >> 10);
        kept |= (r.test_state & static_cast<uint8_t>(v | static_cast<uint8_t>(4 * v))) != 0;
        if (!kept) return false;
    }
    return (r.tracks & mask) != 0;
}

std::vector<int32_t> supervisedSubscribers(SubscriberIndexes& indexes, SubscriberDatabase& database, uint16_t mask) {
    std::vector<int32_t> offsets;
    if (mask == 0) return offsets;
    IndexHandle& numer = indexes.handle(kIndexNumber);
    if (!numer.isOpen()) return offsets;
    IndexKey key;
    for (int r = numer.First(key); r == kIndexFound; r = numer.Next(key)) {
        Sbscrbr s(database, AtOffset{key.value});
        if (s.valid && passesFilter(s.record, mask)) offsets.push_back(key.value);
    }
    return offsets;
}

} // namespace k4

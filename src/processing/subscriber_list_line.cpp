#include "processing/subscriber_list_line.h"

#include "database/field_text.h"
#include "processing/test_supervision.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace k4 {

namespace {

void put(std::string& line, int at, const std::string& text) {
    if (at < 0) return;
    if (static_cast<int>(line.size()) < at + static_cast<int>(text.size())) line.resize(at + text.size(), ' ');
    line.replace(static_cast<size_t>(at), text.size(), text);
}

std::string testMark(int path, int type) {
    if (path == 255) return "?0";
    return std::string(1, testPathLetter(path)) + std::to_string(type + 1);
}

} // namespace

std::string subscriberListLine(const SubscriberRecord& r, int width, int sharedSlot) {
    const int w = std::min(width, 199);
    char head[64];
    std::snprintf(head, sizeof head, "%4.4d - %-30.30s", static_cast<int>(r.object), fieldText(r.name).c_str());
    std::string line = head;
    if (static_cast<int>(line.size()) < w) line.resize(static_cast<size_t>(w), ' ');

    struct Mark {
        uint8_t bit;
        int column;
        std::string text;
    };
    const bool hasIp = reinterpret_cast<const uint8_t*>(&r.ip)[0] != 0;
    char radio[4], fixed[4];
    std::snprintf(radio, sizeof radio, "R%d", ((r.tracks_nbr >> 4) & 0x0F) + 1);
    std::snprintf(fixed, sizeof fixed, "S%d", (r.tracks_nbr & 0x0F) + 1);
    const Mark paths[] = {{kTrackDialUp, 26, "K"}, {kTrackRadio, 24, radio}, {kTrackFixedLine, 21, fixed},
                          {kTrackGsm, 18, hasIp ? "G" : "g"}};
    for (const Mark& m : paths) {
        if (!(r.tracks & m.bit)) continue;
        put(line, w - m.column, m.text);
        if (m.bit == kTrackGsm && hasIp && (r.test_state & 0x80)) {
            put(line, w - 19, "(");
            put(line, w - 17, ")");
        }
    }
    if (r.tracks & kTrackAdemco) put(line, w - 16, "A");
    if (r.tracks & kTrackContactId) put(line, w - 14, "C");
    if (r.arm_mask != 0) put(line, w - 12, "ZW");
    if (r.test_flags & 0x01) put(line, w - 9, testMark(r.test_track1, r.test_type1));
    if (r.test_flags & 0x02) put(line, w - 7, testMark(r.test_track2, r.test_type2));
    if (r.alarm_list != 0) {
        char list[4];
        if (sharedSlot > 0) std::snprintf(list, sizeof list, "W%X", sharedSlot & 0x0F);
        else std::snprintf(list, sizeof list, "NS");
        put(line, w - 4, list);
    } else if (w - 4 >= 0 && static_cast<int>(line.size()) > w - 4) {
        line.resize(static_cast<size_t>(w - 4));
    }
    // The red marks last, from the right, so the "~" never move a column
    // computed above.
    std::vector<std::pair<int, int>> red;
    for (const Mark& m : paths)
        if ((r.tracks & m.bit) && (r.chk_tracks & m.bit)) red.emplace_back(w - m.column, static_cast<int>(m.text.size()));
    std::sort(red.begin(), red.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [at, length] : red) {
        if (at < 0 || at + length > static_cast<int>(line.size())) continue;
        line.insert(static_cast<size_t>(at + length), "~");
        line.insert(static_cast<size_t>(at), "~");
    }
    return line;
}

} // namespace k4

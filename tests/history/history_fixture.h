#pragma once
// One station's history over a temporary directory, with a manual clock and
// a scripted operator.
#include "database/stamp.h"
#include "history/history_log.h"
#include "messages/messages.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <cstring>
#include <string>
#include <vector>

namespace k4::test {

inline Stamp localStamp(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    LocalDateTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    return StampFromLocal(t);
}

inline void setLocal(ManualClock& clock, int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    clock.setUnixTime(UnixFromStamp(localStamp(y, mo, d, h, mi, s)));
}

inline std::string bytesOf(const HistoryEntry& e) { return {reinterpret_cast<const char*>(&e), sizeof e}; }

inline std::vector<HistoryEntry> entriesOf(const std::string& file) {
    std::vector<HistoryEntry> out;
    for (size_t at = kHistoryHeaderSize; at + kHistoryEntrySize <= file.size(); at += kHistoryEntrySize) {
        HistoryEntry e;
        std::memcpy(&e, file.data() + at, sizeof e);
        out.push_back(e);
    }
    return out;
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

inline const std::string kCurrentHeader(kHistoryHeaderSize, '\xFB');

struct HistoryStation {
    TempDir dir;
    ManualClock clock;
    ScriptedOperatorUi ui;
    Messages messages{ui};
    bool receptionSuspended = false;
    DataDir data{dir.path()};
    HistoryLog log{data, messages, clock, receptionSuspended};

    std::string boxText(size_t i) const { return i < ui.boxes.size() ? ui.boxes[i].text : std::string(); }
};

} // namespace k4::test

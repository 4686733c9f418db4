#pragma once
// The standard event table of the centre: 999 definitions in memory, sorted
// by code, record 0 reserved for "not defined", and beside them an index of
// 4096 entries from a code to its record. Every change is written through to
// "zdarzen" by the dialog that made it.
#include "processing/event_def.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace k4 {

class DataDir;
class Messages;

class EventTable {
public:
    static constexpr int kRecords = 999;
    static constexpr int kIndexSize = 4096;

    EventTable();

    // Loads "zdarzen" (created empty when missing) and builds the index.
    // 0, or -1: the table is then unavailable and findEvent gives null.
    int loadEventTable(const DataDir& dir, const std::string& fileName = "zdarzen");
    // Writes the whole table back; 0 or -1.
    int saveEventTable(const DataDir& dir, const std::string& fileName = "zdarzen") const;
    // The same with the operator told "zapisu pliku zdarzen" on failure.
    int saveEventTable(const DataDir& dir, Messages& messages) const;
    // Takes a table image already in memory (999 records) and builds the index.
    void setRecords(const std::vector<EventDef>& records);
    void release();
    bool available() const { return available_; }

    // Record index[code]: the reserved record 0 for an undefined code.
    const EventDef* findEvent(int code) const;
    // 0, or -1 when the table is full (record 998 in use) or the code is
    // outside 1..4094.
    int putEvent(const EventDef& def, int code);
    // 0, or -1 when the code is not defined.
    int deleteEvent(int code);
    // -1 arming, -2 disarming, 0 otherwise (also for mixed kind bits).
    int eventKind(int code) const;
    bool isFireEvent(int code) const;

    // The record number of a code (0 = not defined).
    int recordOf(int code) const { return code >= 0 && code < kIndexSize ? index_[static_cast<size_t>(code)] : 0; }
    const EventDef& record(int i) const { return records_[static_cast<size_t>(i)]; }
    // The defined codes in ascending order.
    std::vector<int> definedCodes() const;

private:
    void buildIndex();

    std::vector<EventDef> records_;
    std::array<int16_t, kIndexSize> index_{};
    bool available_ = false;
};

} // namespace k4

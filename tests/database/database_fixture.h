#pragma once
// A subscriber database over a temporary directory with every record file
// created, a scripted operator, and fakes of the parts around it that
// record what they were asked.
#include "config/config_block.h"
#include "database/database_files.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "messages/messages.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace k4::test {

struct HistoryEntry {
    int kind, value, detail, code, extra;
    bool operator==(const HistoryEntry&) const = default;
};

inline void PrintTo(const HistoryEntry& e, std::ostream* os) {
    *os << "{kind " << e.kind << ", value " << e.value << ", detail " << e.detail << ", code " << e.code
        << ", extra " << e.extra << "}";
}

class RecordingHistory final : public HistorySink {
public:
    std::vector<HistoryEntry> entries;
    int LogSystemEvent(int kind, int value, int detail, int code, int extra) override {
        entries.push_back({kind, value, detail, code, extra});
        return 0;
    }
};

class FakeIndex final : public SubscriberIndex {
public:
    std::map<int, int32_t> numbers;
    std::vector<int> removed; // numbers whose keys were removed
    int result = 0;           // what FindNumber gives for a number not in the map
    int removal = 0;          // what RemoveSubscriberKeys gives
    int FindNumber(int number, int32_t& offset) override {
        auto it = numbers.find(number);
        if (it == numbers.end()) return result;
        offset = it->second;
        return 1;
    }
    int RemoveSubscriberKeys(const Sbscrbr& s) override {
        removed.push_back(s.number());
        numbers.erase(s.number());
        return removal;
    }
};

class FakeSharedLists final : public SharedEventLists {
public:
    std::set<int32_t> shared;
    bool IsSharedList(int32_t id) const override { return shared.count(id) != 0; }
};

class FakeSupervisedLists final : public SupervisedSubscriberLists {
public:
    struct Call {
        int number;
        uint8_t tracks, tracksNbr;
    };
    std::vector<Call> forgotten;
    void ForgetSubscriber(int number, uint8_t tracks, uint8_t tracksNbr) override {
        forgotten.push_back({number, tracks, tracksNbr});
    }
};

struct DatabaseTest : ::testing::Test {
    TempDir tmp;
    ScriptedOperatorUi ui;
    Messages messages{ui};
    RecordingHistory history;
    FakeIndex index;
    FakeSharedLists sharedLists;
    FakeSupervisedLists supervised;
    ConfigBlock config{};
    SubscriberDatabase db{DataDir(tmp.path()), messages, history, config, {index, sharedLists, supervised}};

    DatabaseTest() {
        std::strcpy(config.town, "Radom");
        // As the data layer does at start: every file opened or created, the
        // on-demand ones closed again.
        for (int i = 0; i < kDbFileCount; ++i) {
            const auto which = static_cast<DbFile>(i);
            const RecordFileDescriptor& d = descriptorOf(which);
            EXPECT_GE(db.file(which).OpenOrCreate(d.name, d.recordSize), 0);
            if (d.onDemand) db.file(which).Close();
        }
    }

    RecordFile& file(DbFile which) { return db.file(which); }
    std::string bytes(const char* name) const { return tmp.read(name); }
    // The texts of the boxes shown so far, as the operator read them.
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (const auto& box : ui.boxes) texts.push_back(box.text);
        return texts;
    }
    // A subscriber stored under its number in the fake index.
    int32_t storeSubscriber(Sbscrbr& s) {
        EXPECT_EQ(s.Save(), 0);
        index.numbers[s.number()] = s.offset();
        s.unindexed = false;
        return s.offset();
    }
};

// The record count of a record file as its length shows it.
inline int64_t recordsIn(const std::string& bytes, int recSize) {
    return (static_cast<int64_t>(bytes.size()) - 32) / recSize;
}

inline int32_t int32At(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}

} // namespace k4::test

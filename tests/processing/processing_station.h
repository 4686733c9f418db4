#pragma once
// One station's report processing over a temporary directory: the real
// history, record files, number index, event table, alarm list, blockades
// and scheduler, a manual clock, and fakes of the subsystems processing
// reaches, all writing one log of calls so a test sees which call came,
// with which arguments and in which order.
#include "database/database_files.h"
#include "database/index_page_cache.h"
#include "database/related_records.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "database/subscriber_saving.h"
#include "history/history_log_sink.h"
#include "processing/event_list.h"
#include "processing/event_table.h"
#include "processing/process_report.h"
#include "processing/share_lst.h"
#include "shell/station_links.h"

#include "../history/history_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace k4::test {

using CallLog = std::vector<std::string>;

// Every fake writes its calls here; a test that cares when a call came sets
// moment to describe the station's state at that instant.
struct Recorder {
    CallLog calls;
    std::function<std::string()> moment;
    void add(const std::string& call) { calls.push_back(moment ? call + moment() : call); }
};

inline std::string format(const char* f, auto... args) {
    char text[256];
    std::snprintf(text, sizeof text, f, args...);
    return text;
}

class FakePaths final : public ReportPaths {
public:
    explicit FakePaths(Recorder& log) : log_(log) {}
    std::map<int, PathDescriptor> slots;
    std::optional<PathDescriptor> describe(int path) const override {
        auto it = slots.find(path);
        if (it == slots.end()) return std::nullopt;
        return it->second;
    }
    void markProbeAnswered(int path, int subscriber) override {
        log_.add(format("probe answered path %d subscriber %d", path, subscriber));
    }

private:
    Recorder& log_;
};

class FakeTests final : public TestSupervision {
public:
    explicit FakeTests(Recorder& log) : log_(log) {}
    int result = 0; // what every check answers
    int checkTest(int kind, Sbscrbr& s, int testPath) override {
        log_.add(format("checkTest %d subscriber %d path %d", kind, s.number(), testPath));
        return result;
    }

private:
    Recorder& log_;
};

class FakeArming final : public ArmingSupervision {
public:
    explicit FakeArming(Recorder& log) : log_(log) {}
    int updateArming(Sbscrbr& s, int arm, int subsystem, int sector) override {
        log_.add(format("updateArming %d subscriber %d subsystem %d sector %d", arm, s.number(), subsystem, sector));
        return 0;
    }

private:
    Recorder& log_;
};

class FakeForwarding final : public AlarmForwarding {
public:
    explicit FakeForwarding(Recorder& log) : log_(log) {}
    std::vector<AlarmRecord> alarms; // as they were handed over
    int forwardNewAlarm(Sbscrbr& s, AlarmRecord& alarm, bool added) override {
        log_.add(format("forward subscriber %d alarm %d added %d", s.number(), alarm.id, added ? 1 : 0));
        alarms.push_back(alarm);
        return 0;
    }

private:
    Recorder& log_;
};

class FakeOrders final : public OrderSender {
public:
    explicit FakeOrders(Recorder& log) : log_(log) {}
    int sendOrder(int subscriber, int path, int order) override {
        log_.add(format("order %d subscriber %d path %d", order, subscriber, path));
        return 0;
    }

private:
    Recorder& log_;
};

class FakeTexts final : public TextTracking {
public:
    explicit FakeTexts(Recorder& log) : log_(log) {}
    int sequence = 17; // the queue entry's number; -1 when the queue is full
    int queueText(int path, std::string_view text, uint8_t alarmId) override {
        log_.add(format("text path %d \"%s\" alarm %d", path, std::string(text).c_str(), alarmId));
        return sequence;
    }

private:
    Recorder& log_;
};

class UnexpectedIndexFailure final : public IndexFailure {
public:
    void indexFailed(const std::string& message, const std::string& path, int64_t offset) override {
        ADD_FAILURE() << message << " " << path << " " << offset;
    }
};

// The report fields of a history entry, time aside, in the order of the file.
struct Logged {
    int flags, subscriber, subsystem;
    unsigned sector, kind, code2;
    bool operator==(const Logged&) const = default;
};
inline void PrintTo(const Logged& e, std::ostream* os) {
    *os << format("{flags 0x%02X, subscriber %d, subsystem %d, sector 0x%04X, kind 0x%04X, code2 0x%04X}", e.flags,
                  e.subscriber, e.subsystem, e.sector, e.kind, e.code2);
}

// Special codes of the station under test, by their index.
inline constexpr int kSpecial[10] = {0x300, 0x301, 0x302, 0x603, 0x604, 0x602, 0x606, 0x307, 0x308, 0x309};

// Paths of the fake path table.
enum : int {
    kDialUpPath = 3, // switched, type 1, base 2, test path 0
    kGsmPath = 4,    // 0x90
    kGprsPath = 5,   // 0xB0
    kRadioLink = 6,  // 0xA0
};

struct ProcessingStation {
    TempDir dir;
    ManualClock clock;
    ScriptedOperatorUi ui;
    Messages messages{ui};
    bool receptionSuspended = false;
    DataDir data{dir.path()};
    ConfigBlock config{};
    HistoryLog history{data, messages, clock, receptionSuspended};
    HistoryLogSink sink{history};
    Scheduler scheduler{data, clock, messages, history};
    IndexPageCache cache;
    UnexpectedIndexFailure indexFailure;
    SubscriberIndexes indexes{data, cache, indexFailure, messages};
    SubscriberIndexLink indexLink{indexes};
    ShareLst shared{data, messages};
    NoSupervisedPaths supervised;
    SubscriberDatabase db{data, messages, sink, config, {indexLink, shared, supervised}};
    EventTable events;
    AlarmsList alarms{config, history};
    BlockLst blockades{data, messages, history, scheduler};

    Recorder recorder;
    CallLog& calls = recorder.calls;
    FakePaths paths{recorder};
    FakeTests tests{recorder};
    FakeArming arming{recorder};
    FakeForwarding forwarding{recorder};
    FakeOrders orders{recorder};
    FakeTexts texts{recorder};
    ReportProcessing processing{{config, clock, messages, history, db, events, alarms, blockades, scheduler},
                                {paths, tests, arming, forwarding, orders, texts}};

    ProcessingStation() {
        for (int i = 0; i < kSpecialCodes; ++i) config.special_codes[i] = static_cast<int16_t>(kSpecial[i]);
        EXPECT_EQ(history.OpenHistory("logf"), kHistoryCurrent);
        for (int i = 0; i < kDbFileCount; ++i) {
            const auto which = static_cast<DbFile>(i);
            const RecordFileDescriptor& d = descriptorOf(which);
            EXPECT_GE(db.file(which).OpenOrCreate(d.name, d.recordSize), 0);
            if (d.onDemand) db.file(which).Close();
        }
        EXPECT_EQ(indexes.openAll(true), 0);
        shared.load();
        blockades.load();

        events.setRecords({});
        struct Def {
            int code;
            const char *shortName, *name;
            int colour, kind;
        };
        for (const Def& d : std::initializer_list<Def>{
                 {0x130, "WLAMANIE", "Włamanie", 4, 0},
                 {0x110, "POZAR", "Pożar", 12, kEventFire},
                 {0x401, "ZALACZ", "Załączenie", 2, kEventArming},
                 {0x402, "WYLACZ", "Wyłączenie", 2, kEventDisarming},
                 {0x1E0, "LINK", "Test łącza", 0, 0},
                 {0x300, "BR.TESTU", "Brak testu", 5, 0},
                 {0x309, "LICZNIK", "Licznik alarmów", 9, 0},
                 {0x602, "TEST", "Test okresowy", 0, 0},
                 {0x603, "TEST UZ.", "Test użytkownika", 0, 0},
                 {0x604, "ODP.BAD.", "Odpowiedź na badanie", 0, 0},
             })
            events.putEvent(makeEventDef(d.code, d.shortName, d.name, d.colour, d.kind), d.code);

        paths.slots[kDialUpPath] = {0x20, 1, 2, 0, 30};
        paths.slots[kGsmPath] = {0x90, 6, 1, 3, 30};
        paths.slots[kGprsPath] = {0xB0, 6, 1, 3, 30};
        paths.slots[kRadioLink] = {0xA0, 2, 3, 1, 30};
    }

    // A subsystem record with these sectors defined, for the record's slot.
    int32_t subsystem(int no, std::initializer_list<int> sectors) {
        OnDemandFile linie(db.files(), DbFile::Linie, "");
        OnDemandFile sektory(db.files(), DbFile::Sektory, "");
        EXPECT_TRUE(linie.ok() && sektory.ok());
        SubsystemRecord line{};
        line.no = static_cast<uint8_t>(no);
        for (int s : sectors) {
            SectorRecord sector{};
            sector.no = static_cast<int16_t>(s);
            int32_t at = 0;
            EXPECT_EQ(sektory.file().AppendRecord(at, &sector), 0);
            line.sectors[s] = at;
        }
        int32_t at = 0;
        EXPECT_EQ(linie.file().AppendRecord(at, &line), 0);
        return at;
    }

    // An own event list of these entries, stored in "alarmy"; its id.
    int32_t ownList(std::initializer_list<LUT_ENTRY> entries) {
        Int32Le id = 0;
        AlarmsTableList list(db.file(DbFile::Alarmy), events, messages, id, 0, &shared);
        list.buildStandard(false);
        for (const auto& e : entries) list.entries().Add(e);
        EXPECT_EQ(list.save(), 0);
        return id;
    }

    // A subscriber saved as the card saves a new one: subsystem 1 with
    // sector 5, no tests, no rate limit, then whatever edit changes.
    int32_t addSubscriber(int number, const std::function<void(SubscriberRecord&)>& edit = {}) {
        Sbscrbr fresh(db);
        SubscriberRecord r = fresh.record;
        r.object = static_cast<int16_t>(number);
        std::snprintf(r.name, sizeof r.name, "Abonent %d", number);
        r.lines[1] = subsystem(1, {5});
        if (edit) edit(r);
        int32_t offset = 0;
        EXPECT_EQ(saveNewSubscriber(db, indexes, r, offset), kSubscriberSaved);
        return offset;
    }
    // The stored record of a subscriber, as the next report will read it.
    SubscriberRecord stored(int number) {
        Sbscrbr s(db, ByNumber{number});
        EXPECT_TRUE(s.valid && !s.unindexed);
        return s.record;
    }

    int process(int subscriber, int subsystem, int code, int sector, int path, int flags = 0, int sentTime = 0,
                std::optional<std::string> text = std::nullopt) {
        Report r;
        r.subscriber = subscriber;
        r.subsystem = subsystem;
        r.code = code;
        r.sector = sector;
        r.path = path;
        r.flags = flags;
        r.sentTime = sentTime;
        r.text = std::move(text);
        return processing.processReport(r);
    }

    std::vector<HistoryEntry> entries() const { return entriesOf(dir.read("logf")); }
    std::vector<Logged> logged() const {
        std::vector<Logged> out;
        for (const HistoryEntry& e : entries())
            out.push_back({e.flags, e.subscriber, e.subsystem, e.sector, e.kind, e.code2});
        return out;
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (const auto& box : ui.boxes) texts.push_back(box.text);
        return texts;
    }
};

} // namespace k4::test

// Appending history entries durably and formatting them into text lines,
// each beside a reference: SQLite inserting 14-byte rows with synchronous=FULL,
// and one snprintf of the same report line. Run from a directory on the disk
// the station would use (the files are made in the current directory).
#include "baselink/path_types.h"
#include "database/stamp.h"
#include "history/history_log.h"
#include "platform/operator_ui.h"
#include "processing/event_table.h"
#include "processing/event_text.h"
#include "messages/messages.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct SilentUi final : k4::OperatorUi {
    k4::BoxAnswer showBox(const k4::BoxRequest& box) override { return box.defaultButton; }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

struct ScratchDir {
    std::string path;
    ScratchDir() {
        char pattern[] = "k4bench-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~ScratchDir() { std::system(("rm -rf " + path).c_str()); }
};

void HistoryAppendDurable(benchmark::State& state) {
    ScratchDir dir;
    SilentUi ui;
    k4::Messages messages(ui);
    k4::SystemClock clock;
    bool suspended = false;
    k4::HistoryLog log(k4::DataDir(dir.path), messages, clock, suspended);
    log.OpenHistory("logf");
    k4::HistoryEntry e{};
    e.subscriber = 1202;
    e.subsystem = 1;
    e.sector = 3;
    e.kind = 0x1130;
    e.code2 = 0x1130;
    for (auto _ : state) {
        if (log.LogEvent(0x130, e) != 0) state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HistoryAppendDurable)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void SqliteInsertSynchronousFull(benchmark::State& state) {
    ScratchDir dir;
    sqlite3* db = nullptr;
    sqlite3_open((dir.path + "/history.db").c_str(), &db);
    sqlite3_exec(db, "PRAGMA synchronous=FULL; CREATE TABLE h(e BLOB NOT NULL);", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO h(e) VALUES(?)", -1, &insert, nullptr);
    const unsigned char row[14] = {1, 2, 3, 4, 0x40, 0xB2, 0x04, 1, 3, 0, 0x30, 0x11, 0x30, 0x11};
    for (auto _ : state) {
        sqlite3_bind_blob(insert, 1, row, sizeof row, SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("insert failed");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SqliteInsertSynchronousFull)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

k4::HistoryEntry sampleReport() {
    k4::HistoryEntry e{};
    e.time = k4::StampFromUnix(1'780'000'000);
    e.flags = 0x40;
    e.subscriber = 1202;
    e.subsystem = 1;
    e.sector = 3;
    e.kind = 0x1130;
    e.code2 = 0x2130;
    return e;
}

void FormatEventReport(benchmark::State& state) {
    k4::EventTable events;
    events.setRecords({});
    events.putEvent(k4::makeEventDef(0x130, "WLAMANIE", "Włamanie - strefa wewnętrzna", 4), 0x130);
    k4::PathTypeTable pathTypes;
    k4::EventFormatter formatter(events, pathTypes);
    const k4::HistoryEntry e = sampleReport();
    for (auto _ : state) benchmark::DoNotOptimize(formatter.formatEvent(e));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FormatEventReport);

void SnprintfSameLine(benchmark::State& state) {
    const k4::HistoryEntry e = sampleReport();
    char line[160];
    for (auto _ : state) {
        // The reference does the same work a plain printf line would: the
        // local time of the stamp and one format of the fields.
        const k4::LocalDateTime t = k4::LocalFromStamp(e.time);
        std::snprintf(line, sizeof line, "%2.2d.%02d.%02d %02d:%02d:%02d %3.3X-%-8.8s %4.4d %2.2d %3.3X %3.3d %-27.27s%s%d",
                      t.year % 100, t.month, t.day, t.hour, t.minute, t.second, e.kind & 0xFFF, "WLAMANIE",
                      static_cast<int>(e.subscriber), e.subsystem, e.code2 & 0xFFF, e.sector & 0xFFF,
                      "Wlamanie - strefa wewnetrzna", "TR", e.code2 >> 12);
        benchmark::DoNotOptimize(line);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SnprintfSameLine);

} // namespace
BENCHMARK_MAIN();

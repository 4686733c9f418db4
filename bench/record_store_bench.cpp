// The subscriber store against SQLite at equal durability: appending new
// subscribers, reading a subscriber by its record, and the partial write of
// the 13-byte state block that every report makes. SQLite keeps the same
// 1575-byte records as blobs in a table with synchronous=FULL in WAL mode,
// so each of its commits is on the disk before it returns, as each of ours
// is; the partial write uses its incremental blob I/O.
#include "config/config_block.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "platform/operator_ui.h"
#include "messages/messages.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kPreloaded = 1000;

std::string scratch() {
    char pattern[] = "/var/tmp/k4bench-XXXXXX"; // a real disk: every sync costs what it costs
    return ::mkdtemp(pattern);
}

struct SilentUi final : k4::OperatorUi {
    k4::BoxAnswer showBox(const k4::BoxRequest& box) override { throw std::runtime_error(box.text); }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

struct NoLinks final : k4::SubscriberIndex, k4::SharedEventLists, k4::SupervisedSubscriberLists, k4::HistorySink {
    int FindNumber(int, int32_t&) override { return 0; }
    int RemoveSubscriberKeys(const k4::Sbscrbr&) override { return 0; }
    bool IsSharedList(int32_t) const override { return false; }
    void ForgetSubscriber(int, uint8_t, uint8_t) override {}
    int LogSystemEvent(int, int, int, int, int) override { return 0; }
};

// One station's database over a fresh directory, "dane" open.
struct Store {
    std::string dir = scratch();
    SilentUi ui;
    k4::Messages messages{ui};
    NoLinks links;
    k4::ConfigBlock config{};
    k4::SubscriberDatabase db{k4::DataDir(dir), messages, links, config, {links, links, links}};
    std::vector<int32_t> offsets;

    Store() {
        if (db.file(k4::DbFile::Dane).OpenOrCreate("dane", k4::kSubscriberRecordSize) != 1)
            throw std::runtime_error("dane");
    }
    ~Store() {
        db.file(k4::DbFile::Dane).Close();
        std::filesystem::remove_all(dir);
    }
    int32_t append(int number) {
        k4::Sbscrbr s(db, k4::ByNumber{number});
        if (s.Save() != 0) throw std::runtime_error("save");
        return s.offset();
    }
};

struct Sqlite {
    std::string dir = scratch();
    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* select = nullptr;
    std::vector<sqlite3_int64> ids;

    Sqlite() {
        if (sqlite3_open((dir + "/dane.db").c_str(), &db) != SQLITE_OK) throw std::runtime_error("open");
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        exec("CREATE TABLE dane(id INTEGER PRIMARY KEY, rec BLOB NOT NULL)");
        sqlite3_prepare_v2(db, "INSERT INTO dane(rec) VALUES(?)", -1, &insert, nullptr);
        sqlite3_prepare_v2(db, "SELECT rec FROM dane WHERE id = ?", -1, &select, nullptr);
    }
    ~Sqlite() {
        sqlite3_finalize(insert);
        sqlite3_finalize(select);
        sqlite3_close(db);
        std::filesystem::remove_all(dir);
    }
    void exec(const char* sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sql);
    }
    sqlite3_int64 append(const k4::SubscriberRecord& record) {
        sqlite3_bind_blob(insert, 1, &record, sizeof record, SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) throw std::runtime_error("insert");
        sqlite3_reset(insert);
        return sqlite3_last_insert_rowid(db);
    }
};

k4::SubscriberRecord sampleRecord(int number) {
    k4::SubscriberRecord r{};
    r.object = static_cast<int16_t>(number);
    r.test_repeat1 = r.test_repeat2 = 1;
    r.test_delay1 = 15;
    return r;
}

void BM_RecordFile_Append(benchmark::State& state) {
    Store store;
    int number = 0;
    for (auto _ : state) benchmark::DoNotOptimize(store.append(number++ % 10000));
}

void BM_Sqlite_Append(benchmark::State& state) {
    Sqlite sqlite;
    int number = 0;
    for (auto _ : state) benchmark::DoNotOptimize(sqlite.append(sampleRecord(number++ % 10000)));
}

void BM_RecordFile_Read(benchmark::State& state) {
    Store store;
    for (int i = 0; i < kPreloaded; ++i) store.offsets.push_back(store.append(i));
    std::mt19937 random(1);
    for (auto _ : state) {
        k4::Sbscrbr s(store.db, k4::AtOffset{store.offsets[random() % kPreloaded]});
        benchmark::DoNotOptimize(s.record.object);
    }
}

void BM_Sqlite_Read(benchmark::State& state) {
    Sqlite sqlite;
    sqlite.exec("BEGIN");
    for (int i = 0; i < kPreloaded; ++i) sqlite.ids.push_back(sqlite.append(sampleRecord(i)));
    sqlite.exec("COMMIT");
    std::mt19937 random(1);
    k4::SubscriberRecord record;
    for (auto _ : state) {
        sqlite3_bind_int64(sqlite.select, 1, sqlite.ids[random() % kPreloaded]);
        if (sqlite3_step(sqlite.select) != SQLITE_ROW) throw std::runtime_error("select");
        std::memcpy(&record, sqlite3_column_blob(sqlite.select, 0), sizeof record);
        sqlite3_reset(sqlite.select);
        benchmark::DoNotOptimize(record.object);
    }
}

void BM_RecordFile_WriteState(benchmark::State& state) {
    Store store;
    for (int i = 0; i < kPreloaded; ++i) store.offsets.push_back(store.append(i));
    std::mt19937 random(1);
    uint8_t block[k4::kStateBlockSize] = {};
    for (auto _ : state) {
        k4::Sbscrbr s(store.db, k4::AtOffset{store.offsets[random() % kPreloaded]});
        ++block[10];
        if (s.WriteState(block) != 0) throw std::runtime_error("state");
    }
}

void BM_Sqlite_WriteState(benchmark::State& state) {
    Sqlite sqlite;
    sqlite.exec("BEGIN");
    for (int i = 0; i < kPreloaded; ++i) sqlite.ids.push_back(sqlite.append(sampleRecord(i)));
    sqlite.exec("COMMIT");
    std::mt19937 random(1);
    uint8_t block[k4::kStateBlockSize] = {};
    for (auto _ : state) {
        // The same work as ours: the record is read, then its state block
        // rewritten in its own transaction.
        k4::SubscriberRecord record;
        const sqlite3_int64 id = sqlite.ids[random() % kPreloaded];
        sqlite3_bind_int64(sqlite.select, 1, id);
        if (sqlite3_step(sqlite.select) != SQLITE_ROW) throw std::runtime_error("select");
        std::memcpy(&record, sqlite3_column_blob(sqlite.select, 0), sizeof record);
        sqlite3_reset(sqlite.select);
        ++block[10];
        sqlite3_blob* blob = nullptr;
        if (sqlite3_blob_open(sqlite.db, "main", "dane", "rec", id, 1, &blob) != SQLITE_OK ||
            sqlite3_blob_write(blob, block, sizeof block, k4::kStateBlockOffset) != SQLITE_OK)
            throw std::runtime_error("blob");
        sqlite3_blob_close(blob);
    }
}

BENCHMARK(BM_RecordFile_Append);
BENCHMARK(BM_Sqlite_Append);
BENCHMARK(BM_RecordFile_Read);
BENCHMARK(BM_Sqlite_Read);
BENCHMARK(BM_RecordFile_WriteState);
BENCHMARK(BM_Sqlite_WriteState);

} // namespace

BENCHMARK_MAIN();

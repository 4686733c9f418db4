// The subscriber indexes against SQLite (an index on a TEXT column with the
// same Polish collation over the same upper-cased keys, synchronous=FULL in
// WAL mode, so every insert is as durable as ours) and against std::map in
// memory: insert, exact look-up and prefix scan of 10 000 subscribers.
#include "database/codepage.h"
#include "database/index_file.h"
#include "database/subscriber_indexes.h"
#include "platform/operator_ui.h"
#include "messages/messages.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>

namespace {

constexpr int kSubscribers = 10000;

struct Abort final : k4::IndexFailure {
    void indexFailed(const std::string& m, const std::string& p, int64_t) override {
        throw std::runtime_error(m + " " + p);
    }
};

std::string scratch() {
    char pattern[] = "/var/tmp/k4bench-XXXXXX"; // a real disk, not tmpfs: fsync must cost what it costs
    return ::mkdtemp(pattern);
}

// Upper-cased names as the name index holds them, in a random order.
std::vector<std::string> names() {
    static const char* first[] = {"KOWALSKI", "NOWAK", "WI\x98NIEWSKI", "W\x80JCIK", "KAMI\xA5SKI", "LEWANDOWSKI",
                                  "ZIELI\xA5SKI", "SZYMA\xA5SKI", "WO\xA6NIAK", "D\x8F" "BROWSKI"};
    std::vector<std::string> out;
    std::mt19937 random(7);
    for (int i = 0; i < kSubscribers; ++i)
        out.push_back(std::string(first[random() % 10]) + " " + std::to_string(random() % 100000));
    return out;
}

std::vector<std::string> numbers() {
    std::vector<std::string> out;
    for (int i = 0; i < kSubscribers; ++i) out.push_back(k4::numberKey((i * 7919) % kSubscribers));
    return out;
}

int polish(void*, int la, const void* a, int lb, const void* b) {
    std::string x(static_cast<const char*>(a), static_cast<size_t>(la));
    std::string y(static_cast<const char*>(b), static_cast<size_t>(lb));
    return k4::CompareMazoviaN(x.c_str(), y.c_str(), 100);
}

sqlite3* openSqlite(const std::string& dir) {
    sqlite3* db = nullptr;
    sqlite3_open((dir + "/bench.db").c_str(), &db);
    sqlite3_create_collation(db, "POLISH", SQLITE_UTF8, nullptr, polish);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                     "CREATE TABLE k(text TEXT COLLATE POLISH, value INTEGER);"
                     "CREATE INDEX ki ON k(text);",
                 nullptr, nullptr, nullptr);
    return db;
}

void BM_IndexInsert(benchmark::State& state) {
    const auto keys = names();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string dir = scratch();
        k4::IndexPageCache cache;
        Abort abort;
        k4::IndexHandle index(cache, abort);
        index.CreateIndex(k4::DataDir(dir), "nazwa", true);
        state.ResumeTiming();
        for (int i = 0; i < kSubscribers; ++i) index.InsertKey(keys[static_cast<size_t>(i)], 32 + i);
        state.PauseTiming();
        index.CloseIndex();
        std::filesystem::remove_all(dir);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSubscribers);
}

void BM_SqliteInsert(benchmark::State& state) {
    const auto keys = names();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string dir = scratch();
        sqlite3* db = openSqlite(dir);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO k VALUES(?, ?)", -1, &insert, nullptr);
        state.ResumeTiming();
        for (int i = 0; i < kSubscribers; ++i) {
            sqlite3_bind_text(insert, 1, keys[static_cast<size_t>(i)].c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int(insert, 2, 32 + i);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        state.PauseTiming();
        sqlite3_finalize(insert);
        sqlite3_close(db);
        std::filesystem::remove_all(dir);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSubscribers);
}

void BM_MapInsert(benchmark::State& state) {
    const auto keys = names();
    auto less = [](const std::string& a, const std::string& b) { return k4::CompareMazoviaN(a.c_str(), b.c_str(), 100) < 0; };
    for (auto _ : state) {
        std::multimap<std::string, int, decltype(less)> map(less);
        for (int i = 0; i < kSubscribers; ++i) map.emplace(keys[static_cast<size_t>(i)], 32 + i);
        benchmark::DoNotOptimize(map);
    }
    state.SetItemsProcessed(state.iterations() * kSubscribers);
}

// Look-ups: the number index of a filled data set, every subscriber once.
struct Filled {
    std::string dir = scratch();
    k4::IndexPageCache cache;
    Abort abort;
    k4::IndexHandle index{cache, abort};
    sqlite3* db = nullptr;
    Filled() {
        index.CreateIndex(k4::DataDir(dir), "numer", false);
        db = openSqlite(dir);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO k VALUES(?, ?)", -1, &insert, nullptr);
        const auto keys = numbers();
        for (int i = 0; i < kSubscribers; ++i) {
            index.InsertKey(keys[static_cast<size_t>(i)], 32 + 1575 * i);
            sqlite3_bind_text(insert, 1, keys[static_cast<size_t>(i)].c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 2, 32 + 1575 * i);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    ~Filled() {
        index.CloseIndex();
        sqlite3_close(db);
        std::filesystem::remove_all(dir);
    }
};

Filled& filled() {
    static Filled f;
    return f;
}

void BM_IndexNumberLookup(benchmark::State& state) {
    auto& f = filled();
    const auto keys = numbers();
    size_t i = 0;
    for (auto _ : state) {
        k4::IndexKey key;
        benchmark::DoNotOptimize(f.index.FindKey(keys[i++ % keys.size()], key));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SqliteNumberLookup(benchmark::State& state) {
    auto& f = filled();
    const auto keys = numbers();
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(f.db, "SELECT value FROM k WHERE text = ? LIMIT 1", -1, &find, nullptr);
    size_t i = 0;
    for (auto _ : state) {
        sqlite3_bind_text(find, 1, keys[i++ % keys.size()].c_str(), -1, SQLITE_STATIC);
        benchmark::DoNotOptimize(sqlite3_step(find));
        sqlite3_reset(find);
    }
    sqlite3_finalize(find);
    state.SetItemsProcessed(state.iterations());
}

void BM_IndexPrefixScan(benchmark::State& state) {
    auto& f = filled();
    for (auto _ : state) {
        // "12": the hundred numbers 1200..1299.
        k4::IndexKey key;
        int n = 0;
        for (int r = f.index.FindFrom("12", key); r == k4::kIndexFound && key.text.compare(0, 2, "12") == 0;
             r = f.index.Next(key))
            ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SqlitePrefixScan(benchmark::State& state) {
    auto& f = filled();
    sqlite3_stmt* scan = nullptr;
    sqlite3_prepare_v2(f.db, "SELECT text, value FROM k WHERE text >= '12' AND text < '13' ORDER BY text", -1, &scan,
                       nullptr);
    for (auto _ : state) {
        int n = 0;
        while (sqlite3_step(scan) == SQLITE_ROW) ++n;
        sqlite3_reset(scan);
        benchmark::DoNotOptimize(n);
    }
    sqlite3_finalize(scan);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_IndexInsert)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SqliteInsert)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MapInsert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexNumberLookup);
BENCHMARK(BM_SqliteNumberLookup);
BENCHMARK(BM_IndexPrefixScan);
BENCHMARK(BM_SqlitePrefixScan);
BENCHMARK_MAIN();

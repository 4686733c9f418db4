// The rebuild of the five derived subscriber indexes from "numer" over
// 10 000 subscribers on a real disk, each subscriber read through Sbscrbr and
// its keys inserted durably, as the technician's "index rebuild" does;
// beside it SQLite making the same five indexes over the same rows in one
// transaction with synchronous=FULL.
#include "database/codepage.h"
#include "database/database_files.h"
#include "database/record_file.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "config/config_block.h"
#include "platform/operator_ui.h"
#include "messages/messages.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace {

constexpr int kSubscribers = 10000;

struct Abort final : k4::IndexFailure {
    void indexFailed(const std::string& m, const std::string& p, int64_t) override {
        throw std::runtime_error(m + " " + p);
    }
};
struct NoHistory final : k4::HistorySink {
    int LogSystemEvent(int, int, int, int, int) override { return 0; }
};
struct AllShared final : k4::SharedEventLists {
    bool IsSharedList(int32_t) const override { return true; }
};
struct NoPaths final : k4::SupervisedSubscriberLists {
    void ForgetSubscriber(int, uint8_t, uint8_t) override {}
};

std::string scratch() {
    char pattern[] = "/var/tmp/k4bench-XXXXXX"; // a real disk, not tmpfs: fsync must cost what it costs
    return ::mkdtemp(pattern);
}

template <size_t N>
void put(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

struct Subscriber {
    int number;
    std::string name, town, address, passwd, tel, gsm;
};

std::vector<Subscriber> subscribers() {
    static const char* names[] = {"Kowalski", "Nowak", "Wi\x98niewski", "W\x80jcik", "Kami\xA5ski"};
    static const char* towns[] = {"Radom", "Kielce", "\x9C\xA2" "d\xA6", "Krak\xA2w"};
    std::mt19937 random(11);
    std::vector<Subscriber> out;
    for (int i = 0; i < kSubscribers; ++i) {
        const auto r = std::to_string(random() % 100000);
        out.push_back({i, std::string(names[random() % 5]) + " " + r, towns[random() % 4], "Lipowa " + r,
                       "has\x9Co " + r, "48" + std::to_string(3000000 + i), i % 2 ? "60" + std::to_string(1000000 + i) : ""});
    }
    return out;
}

// The data set: "dane" written in one go (its durability is not what is
// measured), "numer" over it.
std::string prepared() {
    static const std::string dir = [] {
        const std::string d = scratch();
        Abort abort;
        k4::ConsoleOperatorUi ui;
        k4::Messages messages(ui);
        NoHistory history;
        {
            k4::RecordFile dane(k4::DataDir(d), messages, history);
            dane.Create("dane", k4::kSubscriberRecordSize);
            dane.Close();
        }
        std::ofstream out(d + "/dane", std::ios::binary | std::ios::app);
        k4::IndexPageCache cache;
        k4::IndexHandle numer(cache, abort);
        numer.CreateIndex(k4::DataDir(d), "numer", false);
        int32_t at = 32;
        for (const Subscriber& s : subscribers()) {
            k4::SubscriberRecord r{};
            r.object = static_cast<int16_t>(s.number);
            put(r.name, s.name);
            put(r.town, s.town);
            put(r.address, s.address);
            put(r.passwd, s.passwd);
            put(r.tel, s.tel);
            put(r.tel_gsm, s.gsm);
            out.write(reinterpret_cast<const char*>(&r), sizeof r);
            numer.InsertKey(k4::numberKey(s.number), at);
            at += k4::kSubscriberRecordSize;
        }
        numer.CloseIndex();
        return d;
    }();
    return dir;
}

void BM_RebuildDerivedIndexes(benchmark::State& state) {
    const std::string dir = prepared();
    Abort abort;
    k4::ConsoleOperatorUi ui;
    k4::Messages messages(ui);
    NoHistory history;
    AllShared shared;
    NoPaths paths;
    k4::ConfigBlock config{};
    k4::IndexPageCache cache;
    k4::SubscriberIndexes indexes(k4::DataDir(dir), cache, abort, messages);
    k4::SubscriberIndexLink link(indexes);
    k4::SubscriberDatabase db(k4::DataDir(dir), messages, history, config, {link, shared, paths});
    db.file(k4::DbFile::Dane).Open("dane", k4::kSubscriberRecordSize);
    indexes.openAll(true);
    for (auto _ : state) {
        const int r = indexes.rebuildDerived([&](int32_t record) -> std::optional<k4::SubscriberKeys> {
            k4::Sbscrbr s(db, k4::AtOffset{record});
            if (!s.valid) return std::nullopt;
            return k4::subscriberKeysOf(s);
        });
        if (r != 0) state.SkipWithError("rebuild failed");
    }
    indexes.closeAll();
    state.counters["subscribers"] = kSubscribers;
}
BENCHMARK(BM_RebuildDerivedIndexes)->Unit(benchmark::kMillisecond)->Iterations(3);

int polish(void*, int la, const void* a, int lb, const void* b) {
    std::string x(static_cast<const char*>(a), static_cast<size_t>(la));
    std::string y(static_cast<const char*>(b), static_cast<size_t>(lb));
    return k4::CompareMazoviaN(x.c_str(), y.c_str(), 100);
}

void BM_SqliteCreateFiveIndexes(benchmark::State& state) {
    const std::string dir = scratch();
    sqlite3* db = nullptr;
    sqlite3_open((dir + "/bench.db").c_str(), &db);
    sqlite3_create_collation(db, "POLISH", SQLITE_UTF8, nullptr, polish);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                     "CREATE TABLE s(number INTEGER PRIMARY KEY, name TEXT, town TEXT, address TEXT, passwd TEXT,"
                     " phone TEXT);",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO s VALUES(?,?,?,?,?,?)", -1, &insert, nullptr);
    for (const Subscriber& s : subscribers()) {
        sqlite3_bind_int(insert, 1, s.number);
        const std::string* texts[] = {&s.name, &s.town, &s.address, &s.passwd, &s.tel};
        for (int i = 0; i < 5; ++i) sqlite3_bind_text(insert, i + 2, texts[i]->c_str(), -1, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    for (auto _ : state) {
        sqlite3_exec(db,
                     "BEGIN; DROP INDEX IF EXISTS a; DROP INDEX IF EXISTS b; DROP INDEX IF EXISTS c;"
                     "DROP INDEX IF EXISTS d; DROP INDEX IF EXISTS e;"
                     "CREATE INDEX a ON s(upper(name) COLLATE POLISH); CREATE INDEX b ON s(upper(town) COLLATE POLISH);"
                     "CREATE INDEX c ON s(upper(address) COLLATE POLISH); CREATE INDEX d ON s(phone);"
                     "CREATE INDEX e ON s(upper(passwd) COLLATE POLISH); COMMIT;",
                     nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SqliteCreateFiveIndexes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

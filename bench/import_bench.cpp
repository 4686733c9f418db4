// The technician's import of 9 000 subscribers from CSV into a fresh
// installation on a real disk, as "kestrel4-admin subscribers import" runs it
// (records, six indexes, synced when it ends); beside it SQLite taking the
// same rows into a table with the same six indexes in one transaction with
// synchronous=FULL.
#include "admin/admin_commands.h"
#include "database/codepage.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace {

constexpr int kSubscribers = 9000;

std::string scratch() {
    char pattern[] = "/var/tmp/k4bench-XXXXXX"; // a real disk, not tmpfs: fsync must cost what it costs
    return ::mkdtemp(pattern);
}

struct Row {
    int number;
    std::string name, town, address, passwd, tel, gsm;
};

std::vector<Row> rows() {
    static const char* names[] = {"Kowalski", "Nowak", "Wiśniewski", "Wójcik", "Kamiński", "Zieliński"};
    static const char* towns[] = {"Radom", "Kielce", "Łódź", "Kraków", "Mińsk Mazowiecki"};
    std::mt19937 random(13);
    std::vector<Row> out;
    for (int i = 1; i <= kSubscribers; ++i) {
        const auto r = std::to_string(random() % 100000);
        out.push_back({i, std::string(names[random() % 6]) + " " + r, towns[random() % 5], "Lipowa " + r,
                       "hasło" + std::to_string(random() % 1000), "048" + std::to_string(3000000 + i), i % 2 ? "60" + std::to_string(1000000 + i) : ""});
    }
    return out;
}

std::string csvFile(const std::string& dir) {
    const std::string path = dir + "/abonenci.csv";
    std::ofstream out(path);
    out << "number,name,town,address,passwd,tel,tel_gsm\n";
    for (const Row& r : rows())
        out << r.number << ',' << r.name << ',' << r.town << ',' << r.address << ',' << r.passwd << ',' << r.tel << ','
            << r.gsm << '\n';
    return path;
}

int admin(const k4::admin::Args& args) {
    std::istringstream in;
    std::ostringstream out, err;
    return k4::admin::runAdmin(args, in, out, err);
}

void BM_AdminImport9000(benchmark::State& state) {
    const std::string work = scratch();
    const std::string csv = csvFile(work);
    for (auto _ : state) {
        state.PauseTiming();
        const std::string dir = work + "/centrum";
        std::filesystem::remove_all(dir);
        admin({"init", dir});
        state.ResumeTiming();
        if (admin({"subscribers", "import", csv, dir}) != 0) {
            state.SkipWithError("import failed");
            break;
        }
    }
    std::filesystem::remove_all(work);
    state.counters["subscribers"] = kSubscribers;
}
BENCHMARK(BM_AdminImport9000)->Unit(benchmark::kMillisecond)->Iterations(3);

int polish(void*, int la, const void* a, int lb, const void* b) {
    std::string x(static_cast<const char*>(a), static_cast<size_t>(la));
    std::string y(static_cast<const char*>(b), static_cast<size_t>(lb));
    return k4::CompareMazoviaN(x.c_str(), y.c_str(), 100);
}

void BM_SqliteImport9000(benchmark::State& state) {
    const auto all = rows();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string dir = scratch();
        sqlite3* db = nullptr;
        sqlite3_open((dir + "/bench.db").c_str(), &db);
        sqlite3_create_collation(db, "POLISH", SQLITE_UTF8, nullptr, polish);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                     "CREATE TABLE s(number INTEGER UNIQUE, name TEXT COLLATE POLISH, town TEXT COLLATE POLISH,"
                     " address TEXT COLLATE POLISH, passwd TEXT COLLATE POLISH, tel TEXT, gsm TEXT);"
                     "CREATE INDEX a ON s(name); CREATE INDEX b ON s(town); CREATE INDEX c ON s(address);"
                     "CREATE INDEX d ON s(passwd); CREATE INDEX e ON s(tel); CREATE INDEX f ON s(gsm);",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO s VALUES(?,?,?,?,?,?,?)", -1, &insert, nullptr);
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const Row& r : all) {
            sqlite3_bind_int(insert, 1, r.number);
            const std::string* texts[] = {&r.name, &r.town, &r.address, &r.passwd, &r.tel, &r.gsm};
            for (int i = 0; i < 6; ++i) sqlite3_bind_text(insert, i + 2, texts[i]->c_str(), -1, SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_finalize(insert);
        sqlite3_close(db);
        std::filesystem::remove_all(dir);
        state.ResumeTiming();
    }
    state.counters["subscribers"] = kSubscribers;
}
BENCHMARK(BM_SqliteImport9000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

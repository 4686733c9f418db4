// "Lista Abonentów" over 9 000 subscribers (imported by the technician's
// own command into a fresh installation): the window opened sorted by name
// and scrolled from the first line to the last, page by page, each page
// drawn offscreen - beside SQLite giving the same rows in the same Polish
// order (an index with the same collation over the same upper-cased names)
// and the same line text made of each row, in the same run.
#include "admin/admin_commands.h"
#include "admin/admin_database.h"
#include "database/codepage.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "processing/share_lst.h"
#include "processing/ui/sbscrbrs.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QListView>
#include <QScrollBar>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace {

constexpr int kSubscribers = 9000;

struct Row {
    int number;
    std::string name, town, address;
};

std::vector<Row> rows() {
    static const char* names[] = {"Kowalski", "Nowak", "Wiśniewski", "Wójcik", "Kamiński", "Zieliński", "Łukasik",
                                  "Żak"};
    static const char* towns[] = {"Radom", "Kielce", "Łódź", "Kraków", "Mińsk Mazowiecki"};
    std::mt19937 random(13);
    std::vector<Row> out;
    for (int i = 1; i <= kSubscribers; ++i) {
        const auto r = std::to_string(random() % 100000);
        out.push_back({i, std::string(names[random() % 8]) + " " + r, towns[random() % 5], "Lipowa " + r});
    }
    return out;
}

struct Centre {
    std::string dir;
    Centre() {
        char pattern[] = "/var/tmp/k4bench-XXXXXX";
        dir = ::mkdtemp(pattern);
        const std::string csv = dir + "/abonenci.csv";
        std::ofstream out(csv);
        out << "number,name,town,address\n";
        for (const Row& r : rows()) out << r.number << ',' << r.name << ',' << r.town << ',' << r.address << '\n';
        out.close();
        std::istringstream in;
        std::ostringstream log, err;
        k4::admin::runAdmin({"init", dir + "/centrum"}, in, log, err);
        if (k4::admin::runAdmin({"subscribers", "import", csv, dir + "/centrum"}, in, log, err) != 0)
            std::fprintf(stderr, "import: %s\n", err.str().c_str());
    }
    ~Centre() { std::filesystem::remove_all(dir); }
};

Centre& centre() {
    static Centre c;
    return c;
}

void BM_ListWindowByNameScrolledToTheEnd(benchmark::State& state) {
    std::ostringstream err;
    k4::admin::AdminDatabase data(centre().dir + "/centrum", err);
    if (!data.open(false)) {
        state.SkipWithError("open failed");
        return;
    }
    k4::ShareLst shared(data.dataDir(), data.database().messages());
    shared.load();
    int64_t drawn = 0;
    for (auto _ : state) {
        k4::TSbscrbrs list(data.indexes(), data.database(), shared, {}, false);
        list.sortBy(k4::kIndexName, {}, {}, 0, false);
        list.resize(640, 440);
        list.show();
        QCoreApplication::processEvents();
        QScrollBar* bar = list.List->verticalScrollBar();
        for (int value = 0;; value += bar->pageStep()) {
            bar->setValue(std::min(value, bar->maximum()));
            list.List->viewport()->repaint();
            ++drawn;
            if (value >= bar->maximum()) break;
        }
        benchmark::DoNotOptimize(list.line(list.count() - 1));
    }
    state.counters["subscribers"] = kSubscribers;
    state.counters["pages"] = benchmark::Counter(static_cast<double>(drawn) / static_cast<double>(state.iterations()));
}

int polish(void*, int la, const void* a, int lb, const void* b) {
    const std::string x(static_cast<const char*>(a), static_cast<size_t>(la));
    const std::string y(static_cast<const char*>(b), static_cast<size_t>(lb));
    return k4::CompareMazoviaN(x.c_str(), y.c_str(), 100);
}

void BM_SqliteSameOrderAndLines(benchmark::State& state) {
    const std::string path = centre().dir + "/bench.db";
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_create_collation(db, "POLISH", SQLITE_UTF8, nullptr, polish);
    sqlite3_exec(db,
                 "CREATE TABLE IF NOT EXISTS s(number INTEGER, name TEXT, key TEXT COLLATE POLISH, town TEXT,"
                 " address TEXT); CREATE INDEX IF NOT EXISTS sk ON s(key); DELETE FROM s; BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO s VALUES(?,?,?,?,?)", -1, &insert, nullptr);
    for (const Row& r : rows()) {
        std::string key = k4::MazoviaFromUtf8(r.name);
        k4::UpperMazovia(key);
        sqlite3_bind_int(insert, 1, r.number);
        sqlite3_bind_text(insert, 2, r.name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 3, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, r.town.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 5, r.address.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(db, "SELECT number, name, town, address FROM s ORDER BY key COLLATE POLISH", -1, &query,
                           nullptr);
        int n = 0;
        char line[200];
        while (sqlite3_step(query) == SQLITE_ROW) {
            std::snprintf(line, sizeof line, "%4.4d - %-30.30s", sqlite3_column_int(query, 0),
                          reinterpret_cast<const char*>(sqlite3_column_text(query, 1)));
            benchmark::DoNotOptimize(line);
            ++n;
        }
        sqlite3_finalize(query);
        if (n != kSubscribers) state.SkipWithError("rows missing");
    }
    sqlite3_close(db);
    state.counters["subscribers"] = kSubscribers;
}

BENCHMARK(BM_ListWindowByNameScrolledToTheEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteSameOrderAndLines)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

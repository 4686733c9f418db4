// The history window over a history of ten million entries (140 MB): the
// first page unfiltered and filtered by a subscriber whose entries are
// rare, and a whole filtered pass, beside reading the same file with `cat`
// to /dev/null in the same run. The window's memory is reported as the
// growth of the resident set while it works: it must not follow the file.
// Run from a directory on the disk the station would use (the file is made
// in the current directory once and removed at the end).
#include "history/hist_filter.h"
#include "history/history_entry.h"
#include "history/plog_list.h"
#include "messages/messages.h"
#include "platform/file.h"
#include "platform/operator_ui.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int64_t kEntries = 10'000'000;
constexpr int kRareSubscriber = 4321;
constexpr int64_t kRareEvery = 100'000; // a hundred entries of its own
const char* const kFile = "k4bench-logf";

struct SilentUi final : k4::OperatorUi {
    k4::BoxAnswer showBox(const k4::BoxRequest& box) override { return box.defaultButton; }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

// The resident set now, in kB.
long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// Made once per run: a centre's years, the rare subscriber now and then.
const std::string& historyFile() {
    static const std::string path = [] {
        std::FILE* out = std::fopen(kFile, "wb");
        const std::string header(k4::kHistoryHeaderSize, static_cast<char>(k4::kHistoryHeaderByte));
        std::fwrite(header.data(), 1, header.size(), out);
        std::vector<k4::HistoryEntry> block(100'000);
        for (int64_t done = 0; done < kEntries; done += static_cast<int64_t>(block.size())) {
            for (size_t i = 0; i < block.size(); ++i) {
                const int64_t n = done + static_cast<int64_t>(i);
                k4::HistoryEntry& e = block[i];
                e = {};
                e.time = static_cast<int32_t>(900'000'000 + n * 10);
                e.subscriber = static_cast<int16_t>(n % kRareEvery == 5 ? kRareSubscriber : 1000 + n % 3000);
                e.subsystem = 1;
                e.sector = 3;
                e.kind = static_cast<uint16_t>(0x1130);
                e.code2 = static_cast<uint16_t>(0x1130);
            }
            std::fwrite(block.data(), sizeof(k4::HistoryEntry), block.size(), out);
        }
        std::fclose(out);
        std::atexit([] { ::unlink(kFile); });
        return std::string(kFile);
    }();
    return path;
}

k4::FilterKnowledge knowledge() {
    k4::FilterKnowledge k;
    k.eventKind = [](int) { return 0; };
    return k;
}

void CatToDevNull(benchmark::State& state) {
    const std::string command = "cat " + historyFile() + " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("cat failed");
    state.SetBytesProcessed(state.iterations() * (k4::entryOffset(kEntries)));
}

// Recount and the newest page, as the window shows on opening.
void FirstPage(benchmark::State& state, int subscriber) {
    SilentUi ui;
    k4::Messages messages(ui);
    k4::File file;
    file.open(historyFile(), k4::File::Mode::ReadOnly);
    const long before = residentKb();
    long grown = 0;
    for (auto _ : state) {
        k4::PLogList list(file, messages, knowledge());
        list.filter().subscriber = static_cast<int16_t>(subscriber);
        const int n = list.Recount();
        for (int i = std::max(0, n - 30); i < n; ++i) benchmark::DoNotOptimize(list.EntryAt(i));
        if (n == 0) state.SkipWithError("nothing listed");
        grown = std::max(grown, residentKb() - before);
    }
    state.SetBytesProcessed(state.iterations() * (k4::entryOffset(kEntries)));
    state.counters["rss_growth_kB"] = static_cast<double>(grown);
}

void FirstPageUnfiltered(benchmark::State& state) { FirstPage(state, -1); }
void FirstPageOneRareSubscriber(benchmark::State& state) { FirstPage(state, kRareSubscriber); }

// Every match of the file in order, as the printouts and the export walk it.
void FullFilteredPass(benchmark::State& state) {
    SilentUi ui;
    k4::Messages messages(ui);
    k4::File file;
    file.open(historyFile(), k4::File::Mode::ReadOnly);
    k4::PLogList list(file, messages, knowledge());
    list.filter().subscriber = kRareSubscriber;
    const long before = residentKb();
    long grown = 0;
    for (auto _ : state) {
        int64_t matches = 0;
        list.forEachMatch([&](const k4::HistoryEntry&, int) {
            ++matches;
            return true;
        });
        if (matches != kEntries / kRareEvery) state.SkipWithError("wrong number of matches");
        grown = std::max(grown, residentKb() - before);
    }
    state.SetBytesProcessed(state.iterations() * (k4::entryOffset(kEntries)));
    state.counters["rss_growth_kB"] = static_cast<double>(grown);
}

// Scrolling back from the newest line through a page boundary and over
// the whole listable range, unfiltered.
void ScrollBackUnfiltered(benchmark::State& state) {
    SilentUi ui;
    k4::Messages messages(ui);
    k4::File file;
    file.open(historyFile(), k4::File::Mode::ReadOnly);
    k4::PLogList list(file, messages, knowledge());
    const int n = list.Recount();
    for (auto _ : state)
        for (int i = n - 1; i >= 0; i -= 30) benchmark::DoNotOptimize(list.EntryAt(i));
}

} // namespace

BENCHMARK(CatToDevNull)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstPageUnfiltered)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstPageOneRareSubscriber)->Unit(benchmark::kMillisecond);
BENCHMARK(FullFilteredPass)->Unit(benchmark::kMillisecond);
BENCHMARK(ScrollBackUnfiltered)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

// One report through the whole processing on real files, beside the rate at
// which the same disk takes durable appends: a report of a known subscriber
// costs its history entry and its rate-limiter bytes, each on disk before
// the call returns, plus the reads of its record, event list and subsystem.
// The ratio of the two rates says how close processing comes to the disk's
// own limit. Both rates are wall-clock: the wait for the disk is the cost.
// Run from a directory on the disk the station would use (the
// files are made in the current directory).
#include "database/database_files.h"
#include "database/index_page_cache.h"
#include "database/related_records.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "database/subscriber_saving.h"
#include "history/history_log_sink.h"
#include "platform/operator_ui.h"
#include "processing/alarms_list.h"
#include "processing/block_lst.h"
#include "processing/event_list.h"
#include "processing/event_table.h"
#include "processing/process_report.h"
#include "processing/scheduler.h"
#include "processing/share_lst.h"
#include "messages/messages.h"
#include "shell/station_links.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

struct SilentUi final : k4::OperatorUi {
    int shown = 0;
    k4::BoxAnswer showBox(const k4::BoxRequest& box) override {
        ++shown;
        std::fprintf(stderr, "box: %s\n", box.text.c_str());
        return box.defaultButton;
    }
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

struct ReportIndexFailure final : k4::IndexFailure {
    void indexFailed(const std::string& message, const std::string& path, int64_t offset) override {
        std::fprintf(stderr, "index: %s %s %lld\n", message.c_str(), path.c_str(), static_cast<long long>(offset));
    }
};

// Slot 3 is a dial-up module of base 2.
struct DialUpPath final : k4::ReportPaths {
    std::optional<k4::PathDescriptor> describe(int path) const override {
        if (path != 3) return std::nullopt;
        return k4::PathDescriptor{0x20, 1, 2, 0, 30};
    }
    void markProbeAnswered(int, int) override {}
};

// The data layer of a station over a scratch directory, as the station
// brings it up, with one subscriber that has its own event list.
struct Centre {
    ScratchDir dir;
    k4::DataDir data{dir.path};
    SilentUi ui;
    k4::Messages messages{ui};
    k4::SystemClock clock;
    bool suspended = false;
    k4::ConfigBlock config{};
    k4::HistoryLog history{data, messages, clock, suspended};
    k4::HistoryLogSink sink{history};
    k4::Scheduler scheduler{data, clock, messages, history};
    k4::IndexPageCache cache;
    ReportIndexFailure indexFailure;
    k4::SubscriberIndexes indexes{data, cache, indexFailure, messages};
    k4::SubscriberIndexLink indexLink{indexes};
    k4::ShareLst shared{data, messages};
    k4::NoSupervisedPaths supervised;
    k4::SubscriberDatabase db{data, messages, sink, config, {indexLink, shared, supervised}};
    k4::EventTable events;
    k4::AlarmsList alarms{config, history};
    k4::BlockLst blockades{data, messages, history, scheduler};
    DialUpPath paths;
    k4::NoTestSupervision tests;
    k4::NoArmingSupervision arming;
    k4::NoForwarding forwarding;
    k4::NoOrders orders;
    k4::NoTextTracking texts;
    k4::ReportProcessing processing{{config, clock, messages, history, db, events, alarms, blockades, scheduler},
                                    {paths, tests, arming, forwarding, orders, texts}};

    bool start() {
        if (history.OpenHistory("logf") < 0) return false;
        for (int i = 0; i < k4::kDbFileCount; ++i) {
            const auto which = static_cast<k4::DbFile>(i);
            const k4::RecordFileDescriptor& d = k4::descriptorOf(which);
            if (db.file(which).OpenOrCreate(d.name, d.recordSize) < 0) return false;
            if (d.onDemand) db.file(which).Close();
        }
        if (indexes.openAll(true) != 0) return false;
        shared.load();
        blockades.load();
        events.setRecords({});
        events.putEvent(k4::makeEventDef(0x130, "WLAMANIE", "Włamanie", 4), 0x130);
        events.putEvent(k4::makeEventDef(0x602, "TEST", "Test okresowy", 0), 0x602);
        return addSubscriber(1202);
    }

    bool addSubscriber(int number) {
        k4::Sbscrbr fresh(db);
        k4::SubscriberRecord r = fresh.record;
        r.object = static_cast<int16_t>(number);
        std::snprintf(r.name, sizeof r.name, "Abonent %d", number);
        {
            k4::OnDemandFile linie(db.files(), k4::DbFile::Linie, "");
            k4::OnDemandFile sektory(db.files(), k4::DbFile::Sektory, "");
            k4::SectorRecord sector{};
            sector.no = 3;
            int32_t sectorAt = 0, lineAt = 0;
            k4::SubsystemRecord line{};
            line.no = 1;
            if (!linie.ok() || !sektory.ok() || sektory.file().AppendRecord(sectorAt, &sector) != 0) return false;
            line.sectors[3] = sectorAt;
            if (linie.file().AppendRecord(lineAt, &line) != 0) return false;
            r.lines[1] = lineAt;
        }
        k4::Int32Le list = 0;
        k4::AlarmsTableList own(db.file(k4::DbFile::Alarmy), events, messages, list, 0, &shared);
        own.buildStandard(false);
        own.entries().Add(k4::LUT_ENTRY::make(0x0E1, 0x130, 9, true));
        own.entries().Add(k4::LUT_ENTRY::make(0x130, 0x130));
        if (own.save() != 0) return false;
        r.alarm_list = list;
        r.alarm_opts.limit = 0; // no limit: every report is an alarm
        int32_t offset = 0;
        return k4::saveNewSubscriber(db, indexes, r, offset) == k4::kSubscriberSaved;
    }
};

void ProcessReportKnownSubscriber(benchmark::State& state) {
    Centre centre;
    if (!centre.start()) {
        state.SkipWithError("the data layer did not start");
        return;
    }
    k4::Report report;
    report.subscriber = 1202;
    report.subsystem = 1;
    report.code = 0x0E1;
    report.sector = 3;
    report.path = 3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(centre.processing.processReport(report));
        if (centre.alarms.count() != 1) {
            state.SkipWithError("no alarm raised");
            break;
        }
        // As at shut-down: the list goes without an end entry, so the
        // next report's alarm does not push an old one out with one.
        centre.alarms.clear();
    }
    if (centre.ui.shown != 0) state.SkipWithError("the operator was shown a box");
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("reports");
}
BENCHMARK(ProcessReportKnownSubscriber)->Unit(benchmark::kMicrosecond)->MinTime(3.0)->UseRealTime();

// The disk's own rate: 40 bytes appended and on disk, in the same place.
void DurableAppend40Bytes(benchmark::State& state) {
    ScratchDir dir;
    const int fd = ::open((dir.path + "/append").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) {
        state.SkipWithError("cannot create the file");
        return;
    }
    const char bytes[40] = "forty bytes of one durable append......";
    for (auto _ : state) {
        if (::write(fd, bytes, sizeof bytes) != static_cast<ssize_t>(sizeof bytes) || ::fdatasync(fd) != 0) {
            state.SkipWithError("write failed");
            break;
        }
    }
    ::close(fd);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("appends");
}
BENCHMARK(DurableAppend40Bytes)->Unit(benchmark::kMicrosecond)->MinTime(3.0)->UseRealTime();

} // namespace
BENCHMARK_MAIN();

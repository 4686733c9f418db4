// The binary channels of a whole station (history, journal and subscriber
// files on the disk of the current directory), fed from memory so that the
// network is not what is measured:
// - reports per second through the Ethernet channel's receive to
//   processReport and the echo, beside the history's durable append on the
//   same disk (each report costs the journal's synced append and the
//   history's, so half that floor is the most to expect);
// - the station's resident memory before and after a flood of a million
//   datagrams (keep-alives, keep-alive commands and bad datagrams) from
//   10 000 distinct senders: the registry and the answer limiter are fixed
//   tables, so nothing may grow.
// Run from a directory on the disk the station would use. In a sanitizer
// build set ASAN_OPTIONS=quarantine_size_mb=0 for the memory figure: the
// sanitizer otherwise keeps up to 256 MB of freed blocks resident.
#include "admin/installation.h"
#include "config/config.h"
#include "platform/operator_ui.h"
#include "shell/station.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
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

struct ListedPorts final : k4::SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/k4-bench-a", "/dev/k4-bench-b"}; }
};

// A module bus with no module on it.
struct EmptyLine final : k4::SerialLine {
    bool open(const std::string&, int) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    bool isConnected() override { return true; }
    std::optional<uint8_t> readByteWithin(int) override { return std::nullopt; }
    bool writeByte(uint8_t) override { return true; }
    void clearInput() override {}
    bool takeError() override { return false; }
    std::string errorText() const override { return {}; }
    std::string device() const override { return "bench"; }
};

// Datagrams waiting in memory; what is sent is only counted.
struct MemoryEndpoint final : k4::DatagramEndpoint {
    std::deque<k4::ReceivedDatagram> waiting;
    uint64_t sent = 0;
    bool bound = false;
    bool sendDatagram(const std::string&, uint16_t, std::span<const uint8_t>) override {
        ++sent;
        return true;
    }
    bool bind(const std::string&, uint16_t) override { return bound = true; }
    void close() override { bound = false; }
    bool isBound() const override { return bound; }
    std::string errorText() const override { return {}; }
    void setArrivalHandler(std::function<void()>) override {}
    std::optional<k4::ReceivedDatagram> receive() override {
        if (waiting.empty()) return std::nullopt;
        k4::ReceivedDatagram d = std::move(waiting.front());
        waiting.pop_front();
        return d;
    }
    bool isOwnAddress(const std::string&) const override { return false; }
};

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "udp_receive_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

uint8_t bcd(int v) { return static_cast<uint8_t>(((v / 10 % 10) << 4) | (v % 10)); }

std::string sender(int i) {
    return "10." + std::to_string((i >> 16) & 0xFF) + "." + std::to_string((i >> 8) & 0xFF) + "." + std::to_string(i & 0xFF);
}

struct Rig {
    std::string dir;
    SilentUi ui;
    k4::SystemClock clock;
    ListedPorts ports;
    std::vector<MemoryEndpoint*> endpoints;
    std::unique_ptr<k4::Station> station;

    Rig() {
        application();
        char pattern[] = "./udp-bench-XXXXXX";
        dir = std::filesystem::absolute(::mkdtemp(pattern)).string();
        std::string error;
        if (!k4::admin::writeFreshInstallation(dir, false, error)) std::abort();
        k4::Config config{k4::DataDir(dir)};
        config.LoadConfig(1);
        config.block().mode = 0;
        config.block().inter_port = 1;
        config.block().data_port = 2;
        config.SaveConfig(1);
        std::ofstream pakiety(dir + "/pakiety");
        pakiety << "1 7 12\n";
        for (int s = 1; s <= 7; ++s) pakiety << s << " BRAK\n";
        for (int k = 0; k < 12; ++k) pakiety << "0.0.0.0\n";
        pakiety << "ptarvik\nethernet\n";
        pakiety.close();
        station = std::make_unique<k4::Station>(k4::Station::Environment{
            k4::DataDir(dir), ui, clock, ports, [] { return std::make_unique<EmptyLine>(); }, [](int) { std::abort(); },
            [this] {
                auto e = std::make_unique<MemoryEndpoint>();
                endpoints.push_back(e.get());
                return e;
            },
            nullptr, k4::UdpSettings{}});
        if (station->start() != 0) std::abort();
    }
    ~Rig() {
        station->stop();
        station.reset();
        std::filesystem::remove_all(dir);
    }
    MemoryEndpoint& ethernet() { return *endpoints[k4::kUdpEthernetChannel]; }
};

void BM_ReportsThroughTheEthernetChannel(benchmark::State& state) {
    Rig rig;
    int i = 0;
    for (auto _ : state) {
        const int subscriber = 2000 + i % 500;
        rig.ethernet().waiting.push_back({{12, 0x01, 0, bcd(subscriber / 100), bcd(subscriber % 100), 1, 0x13, 0x00,
                                           0x05, 0, 0, 0, 0, 'Y'},
                                          14, sender(i % 200), 8024});
        rig.station->udp().serve();
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["echoes"] = static_cast<double>(rig.ethernet().sent);
}
BENCHMARK(BM_ReportsThroughTheEthernetChannel)->Unit(benchmark::kMicrosecond)->MinTime(3);

void BM_HistoryDurableAppendFloor(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) rig.station->history().LogEvent(56, 1, 0, 0, 0xFF);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HistoryDurableAppendFloor)->Unit(benchmark::kMicrosecond)->MinTime(3);

void BM_FloodOfAMillionFromTenThousandSenders(benchmark::State& state) {
    for (auto _ : state) {
        Rig rig;
        const long before = residentKb();
        constexpr int kDatagrams = 1'000'000;
        constexpr int kSenders = 10'000;
        for (int i = 0; i < kDatagrams;) {
            for (int k = 0; k < 64 && i < kDatagrams; ++k, ++i) {
                const int who = i % kSenders;
                k4::ReceivedDatagram d;
                switch (i % 3) {
                case 0: d.bytes = {7, 0, 0, 0, 0, 0, bcd(who / 100), bcd(who % 100), 'Y'}; break;
                case 1: d.bytes = {12, 0x09, 0, 0x12, 0x34, 0, 0, 0, 0, 0, 0, 0, 0, 'Y'}; break;
                default: d.bytes = {12, 0x01, 0, 0x12, 0x34, 0, 0, 0, 0, 0, 0, 0, 0, 'Q'}; break;
                }
                d.size = d.bytes.size();
                d.sender = sender(who);
                d.senderPort = 40000;
                rig.ethernet().waiting.push_back(std::move(d));
            }
            while (rig.station->udp().serve()) {
            }
        }
        const long after = residentKb();
        state.counters["rss_before_kb"] = static_cast<double>(before);
        state.counters["rss_after_kb"] = static_cast<double>(after);
        state.counters["answers"] = static_cast<double>(rig.station->udp().counters().answers);
        state.counters["held_back"] = static_cast<double>(rig.station->udp().answersHeldBack());
        state.counters["sbsip_writes"] = static_cast<double>(rig.station->udp().registry().writes());
    }
}
BENCHMARK(BM_FloodOfAMillionFromTenThousandSenders)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();

// The receiver of IP panels on a whole station (history, journal and
// subscriber files on the disk of the current directory), its sockets on
// loopback, the station's loop turning as the program's does (the event
// loop, a tick every 100 ms):
// - messages per second from many concurrent TCP connections, each panel
//   sending its next message when the ACK of the last came, to the
//   history, beside the history's durable append on the same disk (each
//   message costs the journal's synced append and the history's, so half
//   that floor is the most to expect);
// - the time from a message to its ACK at the panel, p50 and p99.
// The panels are kestrel4-sim dc09's, in a child process.
// Run from a directory on the disk the station would use.
#include "admin/installation.h"
#include "config/config.h"
#include "net/dc09_accounts.h"
#include "platform/operator_ui.h"
#include "shell/station.h"
#include "sim/dc09_soak.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QUdpSocket>

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
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

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "dc09_receive_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

uint16_t freePort() {
    for (;;) {
        QTcpServer tcp;
        if (!tcp.listen(QHostAddress::Any, 0)) continue;
        QUdpSocket udp;
        if (udp.bind(QHostAddress::Any, tcp.serverPort())) return tcp.serverPort();
    }
}

constexpr int kFirstAccount = 5000;

struct Rig {
    std::string dir;
    SilentUi ui;
    k4::SystemClock clock;
    ListedPorts ports;
    uint16_t port = 0;
    std::unique_ptr<k4::Station> station;

    explicit Rig(int panels) {
        application();
        char pattern[] = "./dc09-bench-XXXXXX";
        dir = std::filesystem::absolute(::mkdtemp(pattern)).string();
        std::string error;
        if (!k4::admin::writeFreshInstallation(dir, false, error)) std::abort();
        k4::Config config{k4::DataDir(dir)};
        config.LoadConfig(1);
        config.block().mode = 0;
        config.block().inter_port = 1;
        config.block().data_port = 2;
        config.SaveConfig(1);
        port = freePort();
        std::ofstream(dir + "/" + k4::Dc09Settings::kFileName) << "port " << port << "\nunknown refuse\n";
        k4::Dc09AccountTable accounts;
        for (int i = 0; i < panels; ++i) accounts.add(std::to_string(kFirstAccount + i), kFirstAccount + i, "-", nullptr);
        if (!accounts.save(k4::DataDir(dir), &error)) std::abort();
        station = std::make_unique<k4::Station>(k4::Station::Environment{
            k4::DataDir(dir), ui, clock, ports, [] { return std::make_unique<EmptyLine>(); }, [](int) { std::abort(); }});
        if (station->start() != 0 || !station->ipPanels().listening()) std::abort();
    }
    ~Rig() {
        station->stop();
        station.reset();
        std::filesystem::remove_all(dir);
    }
};

struct PanelFigures {
    double acked = 0, seconds = 0, p50 = 0, p99 = 0, repeated = 0, lost = 0;
};

// The panels in a child; the station's loop here as the program turns it.
PanelFigures runPanels(Rig& rig, int panels, int messages) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) std::abort();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        k4::sim::Dc09SoakOptions o;
        o.port = rig.port;
        o.panels = panels;
        o.messages = messages;
        o.firstAccount = kFirstAccount;
        o.secondsLimit = 600;
        std::ostringstream log;
        const auto r = k4::sim::playDc09Soak(o, log);
        char text[256];
        const int n = std::snprintf(text, sizeof text, "%lld %f %f %f %lld %lld\n", static_cast<long long>(r.acked),
                                    r.seconds, k4::sim::dc09Percentile(r.ackMs, 50), k4::sim::dc09Percentile(r.ackMs, 99),
                                    static_cast<long long>(r.repeated), static_cast<long long>(r.lost));
        if (::write(pipeFds[1], text, static_cast<size_t>(n)) != n) ::_exit(1);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    int status = 0;
    auto lastTick = std::chrono::steady_clock::now();
    while (::waitpid(child, &status, WNOHANG) != child) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const auto now = std::chrono::steady_clock::now();
        if (now - lastTick >= std::chrono::milliseconds(100)) {
            lastTick = now;
            rig.station->tick();
        }
    }
    char text[256] = {};
    const ssize_t got = ::read(pipeFds[0], text, sizeof text - 1);
    ::close(pipeFds[0]);
    PanelFigures f;
    long long acked = 0, repeated = 0, lost = 0;
    if (got > 0) std::sscanf(text, "%lld %lf %lf %lf %lld %lld", &acked, &f.seconds, &f.p50, &f.p99, &repeated, &lost);
    f.acked = static_cast<double>(acked);
    f.repeated = static_cast<double>(repeated);
    f.lost = static_cast<double>(lost);
    return f;
}

void BM_Dc09MessagesFromConcurrentTcpConnections(benchmark::State& state) {
    const int panels = static_cast<int>(state.range(0));
    const int messages = static_cast<int>(state.range(1));
    for (auto _ : state) {
        // The manual time is the panels' run alone, not the installation.
        Rig rig(panels);
        const PanelFigures f = runPanels(rig, panels, messages);
        state.SetIterationTime(f.seconds);
        state.counters["msgs_per_s"] = f.seconds > 0 ? f.acked / f.seconds : 0;
        state.counters["ack_p50_ms"] = f.p50;
        state.counters["ack_p99_ms"] = f.p99;
        state.counters["acked"] = f.acked;
        state.counters["repeated"] = f.repeated;
        state.counters["lost"] = f.lost;
    }
}
BENCHMARK(BM_Dc09MessagesFromConcurrentTcpConnections)
    ->Args({100, 10})
    ->Args({1000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

void BM_HistoryDurableAppendFloor(benchmark::State& state) {
    Rig rig(0);
    for (auto _ : state) rig.station->history().LogEvent(56, 1, 0, 0, 0xFF);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HistoryDurableAppendFloor)->Unit(benchmark::kMicrosecond)->MinTime(3);

} // namespace

BENCHMARK_MAIN();

// One report frame through the base link, from its LF to its processing, with
// the answer's pacing waits left out (the clock does not sleep): what the
// station itself spends per frame. Side by side in one run: the frame taken
// into the intake journal (one append and one fdatasync before the answer),
// and the same frame with an intake that keeps nothing (the cost before the
// journal existed). The difference is the sync cost per frame. Run from a
// directory on the disk the station would use (files go to the current one).
#include "baselink/base_link.h"
#include "intake/report_intake.h"
#include "messages/messages.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <deque>
#include <unistd.h>

namespace {

class ReplayLine final : public k4::SerialLine {
public:
    std::deque<uint8_t> input;
    bool open(const std::string&, int) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    bool isConnected() override { return true; }
    std::optional<uint8_t> readByteWithin(int) override {
        if (input.empty()) return std::nullopt;
        const uint8_t b = input.front();
        input.pop_front();
        return b;
    }
    bool writeByte(uint8_t) override { return true; }
    void clearInput() override { input.clear(); }
    bool takeError() override { return false; }
    std::string errorText() const override { return {}; }
    std::string device() const override { return "bench"; }
};

struct OnePort final : k4::SerialPortList {
    std::vector<std::string> presentPorts() override { return {"bench"}; }
};

// Real time, no waits: the pacing sleeps are the wire's, not the station's.
struct NoSleepClock final : k4::Clock {
    k4::SystemClock real;
    int64_t unixTime() const override { return real.unixTime(); }
    uint64_t tickMs() const override { return real.tickMs(); }
    void sleepMs(int) override {}
};

struct SilentUi final : k4::OperatorUi {
    k4::BoxAnswer showBox(const k4::BoxRequest& box) override { return box.defaultButton; }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

struct Sinks final : k4::ReportProcessor, k4::PreparedEntryLog, k4::PhoneOwnerLookup {
    int reports = 0;
    int processReport(const k4::Report&) override { return ++reports; }
    int logPreparedEntry(int, const k4::PreparedEntry&) override { return 0; }
    std::optional<int> ownerOfPhone(const std::string&) override { return std::nullopt; }
};

struct KeepsNothing final : k4::FrameIntake {
    std::optional<k4::IntakeTicket> take(k4::IntakeChannel, int, std::span<const uint8_t>) override {
        return k4::IntakeTicket{};
    }
    void processed(const k4::IntakeTicket&) override {}
};

struct ScratchDir {
    std::string path;
    ScratchDir() {
        char pattern[] = "k4bench-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~ScratchDir() { std::system(("rm -rf " + path).c_str()); }
};

// LF, L 15, record 0x11 "21234", record 0x14 "13A01005", CR, checksum.
std::vector<uint8_t> reportFrame() {
    std::vector<uint8_t> f{0x0A, 15, 0x11, '2', '1', '2', '3', '4', 0x14, '1', '3', 'A', '0', '1', '0', '0', '5', 0x0D};
    uint8_t sum = 0;
    for (uint8_t b : f) sum = static_cast<uint8_t>(sum + b);
    f.push_back(sum);
    return f;
}

void runFrames(benchmark::State& state, k4::FrameIntake& intake, NoSleepClock& clock, k4::Messages& messages) {
    OnePort list;
    k4::SerialPorts ports(list, [] { return std::make_unique<ReplayLine>(); });
    k4::ConfigBlock config{};
    config.mode = 2;
    config.data_port = 1;
    config.base1_speed = 9600;
    ports.OpenSerialPorts(config);
    auto& line = static_cast<ReplayLine&>(ports.line(k4::kComPort2));
    k4::FrameBuffer frame;
    k4::TraceRing trace;
    Sinks sinks;
    k4::BaseLink link({ports, frame, trace, clock, messages, config, sinks, sinks, sinks, intake});
    const auto bytes = reportFrame();
    for (auto _ : state) {
        line.input.assign(bytes.begin(), bytes.end());
        if (link.PollBaseLink() != 0) state.SkipWithError("frame not accepted");
    }
    if (sinks.reports != static_cast<int>(state.iterations())) state.SkipWithError("reports missing");
    state.SetItemsProcessed(state.iterations());
}

void BaseFrameIntoTheJournal(benchmark::State& state) {
    ScratchDir dir;
    SilentUi ui;
    k4::Messages messages(ui);
    NoSleepClock clock;
    bool suspended = false;
    k4::HistoryLog history(k4::DataDir(dir.path), messages, clock, suspended);
    history.OpenHistory("logf");
    k4::ReportIntake intake(k4::DataDir(dir.path), clock, messages, history);
    intake.start();
    runFrames(state, intake, clock, messages);
    intake.stop();
}
BENCHMARK(BaseFrameIntoTheJournal)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void BaseFrameKeptNowhere(benchmark::State& state) {
    SilentUi ui;
    k4::Messages messages(ui);
    NoSleepClock clock;
    KeepsNothing intake;
    runFrames(state, intake, clock, messages);
}
BENCHMARK(BaseFrameKeptNowhere)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();

// The station's own work on the module bus, beside the floor the protocol
// sets. The bus is served one path per 100 ms tick, and each exchange is at
// least a byte out and a byte in on a 9600-baud line (11 bits a byte with
// even parity: 1.15 ms each way); the question is what part of a tick the
// station itself takes around those bytes.
//
// The devices here answer at once from memory, so what is measured is the
// station's code alone: the slot selection, the type check and the poll of
// seven module paths with nothing to report, and one report block of each
// kind received, journaled (synced, as every accepted block is) and decoded.
// The report processing itself is process_report_bench's; here it is a
// counter. Run from a directory on the disk the station would use.
#include "baselink/module_poll.h"
#include "intake/report_intake.h"
#include "platform/operator_ui.h"
#include "processing/process_report.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <deque>
#include <unistd.h>

namespace {

using namespace k4;

struct SilentUi final : OperatorUi {
    BoxAnswer showBox(const BoxRequest& box) override { return box.defaultButton; }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

struct QuietClock final : Clock {
    int64_t unixTime() const override { return 1'780'000'000; }
    uint64_t tickMs() const override { return 0; }
    void sleepMs(int) override {}
};

struct ScratchDir {
    std::string path;
    ScratchDir() {
        char pattern[] = "k4bench-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~ScratchDir() { std::system(("rm -rf " + path).c_str()); }
};

// A line whose far end answers each written byte from a script at once.
struct AnsweringLine final : SerialLine {
    std::deque<uint8_t> input;
    std::function<void(uint8_t)> onWrite;
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
    bool writeByte(uint8_t byte) override {
        if (onWrite) onWrite(byte);
        return true;
    }
    void clearInput() override { input.clear(); }
    bool takeError() override { return false; }
    std::string errorText() const override { return {}; }
    std::string device() const override { return "bench"; }
};

struct TwoPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"i", "d"}; }
};

struct Counter final : ReportProcessor, PhoneOwnerLookup, ReportPaths {
    int reports = 0;
    int processReport(const Report&) override {
        ++reports;
        return ReportProcessing::kNoFollowUp;
    }
    std::optional<int> ownerOfPhone(const std::string&) override { return 1234; }
    std::optional<PathDescriptor> describe(int) const override { return std::nullopt; }
    void markProbeAnswered(int, int) override {}
};

// The bus of seven modules and the station's poll of it.
struct Bus {
    ScratchDir dir;
    QuietClock clock;
    SilentUi ui;
    Messages messages{ui};
    bool suspended = false;
    HistoryLog history{DataDir(dir.path), messages, clock, suspended};
    TwoPorts list;
    AnsweringLine* lines[4] = {};
    SerialPorts ports{list, [this] {
                          auto line = std::make_unique<AnsweringLine>();
                          for (auto*& l : lines)
                              if (!l) {
                                  l = line.get();
                                  break;
                              }
                          return line;
                      }};
    FrameBuffer frame;
    TraceRing trace;
    ConfigBlock config{};
    PathTypeTable types;
    Counter counter;
    ReportIntake intake{DataDir(dir.path), clock, messages, history};
    Scheduler scheduler{DataDir(dir.path), clock, messages, history};
    BlockLst blockades{DataDir(dir.path), messages, history, scheduler};
    NoModuleLinks links;
    ModuleBus bus{{ports, frame, trace, clock, messages}};
    ModulePoll poll{{bus, ports, frame, trace, clock, messages, config, types, history, counter, intake, scheduler,
                     counter, blockades, counter, links}};
    std::vector<PolledPath> paths;
    // What the selected module delivers at its next normal poll.
    std::vector<uint8_t> pending;
    int selected = 0;

    Bus() {
        trace.setEnabled(true);
        history.OpenHistory("logf");
        intake.start();
        ConfigBlock b{};
        b.inter_port = 1;
        b.data_port = 2;
        ports.OpenSerialPorts(b);
        const int kinds[] = {0x10, 0x40, 0x30, 0x50, 0x70, 0x90, 0xB0};
        for (int s = 0; s < 7; ++s) paths.push_back({s, kinds[s], 0, kPathLocal});
        interfaceLine().onWrite = [this](uint8_t b) {
            selected = b - 1;
            interfaceLine().input.push_back(0x01);
        };
        dataLine().onWrite = [this](uint8_t b) {
            auto& in = dataLine().input;
            if (b == 0x00) {
                in.push_back(static_cast<uint8_t>(paths[static_cast<size_t>(selected)].kind));
            } else if (b == kBlockAccepted) {
                in.push_back(kBlockAccepted);
            } else if (!pending.empty()) {
                in.insert(in.end(), pending.begin(), pending.end());
                pending.clear();
            } else {
                in.push_back(0x00);
            }
        };
    }
    AnsweringLine& interfaceLine() { return *lines[kComPort1]; }
    AnsweringLine& dataLine() { return *lines[kComPort2]; }

    static std::vector<uint8_t> delivery(const std::vector<uint8_t>& block) {
        std::vector<uint8_t> out{1};
        uint8_t sum = 0;
        for (uint8_t b : block) sum = static_cast<uint8_t>(sum + b), out.push_back(b);
        out.push_back(sum);
        return out;
    }
};

// At 9600 baud, 8E1: 11 bits a byte.
constexpr double kByteMs = 11.0 * 1000.0 / 9600.0;
constexpr double kTickMs = 100.0;

void IdlePassOverSevenModules(benchmark::State& state) {
    Bus bus;
    int served = 0;
    for (auto _ : state) {
        for (PolledPath& p : bus.paths) {
            const bool selected = bus.bus.CheckModule(p.slot, p.kind) == 0;
            served += selected && bus.poll.poll(p, kPollNormal) == 0;
        }
    }
    if (served != static_cast<int>(7 * state.iterations())) state.SkipWithError("a module was not served");
    // Each path: select and its answer, type query and its answer, mode and status.
    state.counters["wire_ms_per_pass"] = 7 * 6 * kByteMs;
    state.counters["ticks_per_pass"] = 7;
    state.counters["passes"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(IdlePassOverSevenModules)->Unit(benchmark::kMicrosecond);

void ReportBlockOfEachKind(benchmark::State& state) {
    Bus bus;
    std::vector<std::vector<uint8_t>> blocks(7);
    blocks[0] = {0x01, 0x23, 0x40, 0x13, 0x01, 0x23};
    blocks[1] = blocks[0];
    blocks[2] = blocks[0];
    blocks[3] = {0x0A, 0x12, 0xA3, 0x00, 0, 0};
    blocks[4] = {2, 0x01, 0x23, 0x41, 0x11, 0x30, 0xA1, 0xA1, 0x5A, 0};
    blocks[5] = std::vector<uint8_t>(32, 0);
    blocks[5][0] = 1, blocks[5][13] = 4, blocks[5][16] = 3;
    for (int i = 0; i < 8; ++i) blocks[5][static_cast<size_t>(17 + i)] = '1';
    blocks[6] = {17, 10, 0, 0, 1, 10, 0, 0x12, 0x34, 3, 0x13, 0x01, 0x23, 0, 0, 0, 0};
    for (auto _ : state) {
        for (PolledPath& p : bus.paths) {
            bus.pending = Bus::delivery(blocks[static_cast<size_t>(p.slot)]);
            bus.bus.CheckModule(p.slot, p.kind);
            benchmark::DoNotOptimize(bus.poll.poll(p, kPollNormal));
        }
    }
    if (bus.counter.reports != static_cast<int>(7 * state.iterations())) {
        for (int i = 0; i < TraceRing::kLines; ++i)
            if (!bus.trace.line(i).empty()) std::fprintf(stderr, "%s\n", bus.trace.line(i).c_str());
        state.SkipWithError("reports lost");
    }
    state.counters["blocks"] = benchmark::Counter(7.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["tick_ms"] = kTickMs;
}
BENCHMARK(ReportBlockOfEachKind)->Unit(benchmark::kMicrosecond);

// The same blocks decoded without the bus or the journal: the decoders' share.
void DecodeEachKind(benchmark::State& state) {
    const std::vector<std::pair<int, std::vector<uint8_t>>> blocks = {
        {0x10, {0x01, 0x23, 0x40, 0x13, 0x01, 0x23}},
        {0x50, {0x0A, 0x12, 0xA3, 0x00, 0, 0}},
        {0x70, {2, 0x01, 0x23, 0x41, 0x11, 0x30, 0xA1, 0xA1, 0x5A, 0}},
        {0xB0, {17, 10, 0, 0, 1, 10, 0, 0x12, 0x34, 3, 0x13, 0x01, 0x23, 0, 0, 0, 0}},
    };
    for (auto _ : state)
        for (const auto& [kind, block] : blocks) benchmark::DoNotOptimize(decodeReportBlock(kind, 1, block, {}));
}
BENCHMARK(DecodeEachKind);

} // namespace

BENCHMARK_MAIN();

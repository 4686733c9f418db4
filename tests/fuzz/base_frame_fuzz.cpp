// Any byte stream on a receiving base line: the frame reader and the record
// decoder must answer, refuse or skip it, and never read or write outside the
// frame buffer or loop without consuming input, whether a frame is read in one
// poll or across the tick's calls.
#include "baselink/base_link.h"

#include <deque>
#include <memory>

namespace {

class StreamLine final : public k4::SerialLine {
public:
    std::deque<uint8_t> input;
    bool open(const std::string&, int) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    bool isConnected() override { return true; }
    std::optional<uint8_t> readByteWithin(int) override {
        if (input.empty()) return std::nullopt;
        uint8_t b = input.front();
        input.pop_front();
        return b;
    }
    bool writeByte(uint8_t) override { return true; }
    void clearInput() override { input.clear(); }
    bool takeError() override { return false; }
    std::string errorText() const override { return {}; }
    std::string device() const override { return "fuzz"; }
};

struct OnePort final : k4::SerialPortList {
    std::vector<std::string> presentPorts() override { return {"fuzz"}; }
};

struct QuietClock final : k4::Clock {
    int64_t unixTime() const override { return 1'780'000'000; }
    uint64_t tickMs() const override { return 0; }
    void sleepMs(int) override {}
};

struct SilentUi final : k4::OperatorUi {
    k4::BoxAnswer showBox(const k4::BoxRequest& b) override { return b.defaultButton; }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override { return {}; }
};

struct Sinks final : k4::ReportProcessor, k4::PreparedEntryLog, k4::PhoneOwnerLookup, k4::FrameIntake {
    // Every other frame cannot be stored, so the unanswered path is fuzzed too.
    int takes = 0;
    std::optional<k4::IntakeTicket> take(k4::IntakeChannel, int, std::span<const uint8_t> bytes) override {
        if (bytes.empty() || bytes.size() != static_cast<size_t>(bytes[0]) + 1) __builtin_trap();
        if (++takes % 2 == 0) return std::nullopt;
        return k4::IntakeTicket{takes, 0};
    }
    void processed(const k4::IntakeTicket& ticket) override {
        if (ticket.record != takes) __builtin_trap();
    }
    int processReport(const k4::Report& r) override { return r.code & 1; }
    int logPreparedEntry(int kind, const k4::PreparedEntry& e) override { return kind + e[5]; }
    std::optional<int> ownerOfPhone(const std::string& phone) override {
        if (phone.empty()) return std::nullopt;
        return static_cast<int>(phone.size());
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OnePort list;
    k4::SerialPorts ports(list, [] { return std::make_unique<StreamLine>(); });
    k4::ConfigBlock config{};
    config.mode = 2;
    config.data_port = 1;
    ports.OpenSerialPorts(config);
    // Mode 2 receives its one base on the data port.
    auto& base = static_cast<StreamLine&>(ports.line(k4::kComPort2));
    base.input.assign(data, data + size);

    k4::FrameBuffer frame;
    k4::TraceRing trace;
    trace.setEnabled(true);
    QuietClock clock;
    SilentUi ui;
    k4::Messages messages(ui);
    Sinks sinks;
    k4::BaseLink link({ports, frame, trace, clock, messages, config, sinks, sinks, sinks, sinks});
    // Every poll consumes at least one byte or ends the stream. The Part's
    // poll and the tick's serving take turns, so a frame the one leaves half
    // read is met by the other.
    for (size_t polls = 0; polls <= size && !base.input.empty(); ++polls) {
        if (polls % 2) {
            link.PollBaseLink();
        } else {
            k4::TickBudget budget(clock);
            link.ServeBaseLinks(budget);
        }
    }
    k4::TickBudget last(clock);
    link.ServeBaseLinks(last);
    return 0;
}

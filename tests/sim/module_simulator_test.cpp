#include "sim/module_blocks_sim.h"
#include "sim/module_player.h"

#include "baselink/module_poll.h"
#include "baselink/probe_orders.h"
#include "platform/qt_serial_line.h"
#include "platform/clock.h"
#include "processing/process_report.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace k4 {
namespace {

std::optional<sim::ModuleScenario> parse(const std::string& text, std::string& error) {
    std::istringstream in(text);
    return sim::parseModuleScenario(in, error);
}

TEST(ModuleScenario, OrdersRefusedADeafModuleAndAForwardingPartner) {
    std::string error;
    auto s = parse("module 1 10\npartner 1 3\npartner 1 4 silent\nrefuse 1 2\ndeaf 1\n", error);
    ASSERT_TRUE(s) << error;
    ASSERT_EQ(s->modules[0]->partners.size(), 2u);
    EXPECT_EQ(s->modules[0]->partners[0].radioAddress, 3);
    EXPECT_TRUE(s->modules[0]->partners[0].confirms);
    EXPECT_FALSE(s->modules[0]->partners[1].confirms);
    ASSERT_EQ(s->steps.size(), 2u);
    EXPECT_EQ(s->steps[0].kind, sim::ModuleStep::Kind::Refuse);
    EXPECT_EQ(s->steps[0].count, 2);
    EXPECT_EQ(s->steps[1].kind, sim::ModuleStep::Kind::Deaf);
    EXPECT_FALSE(parse("module 1 10\npartner 1 0\n", error));
    // On a GSM module the partner is named by its number.
    s = parse("module 2 90\npartner 2 600100200\npartner 2 600100300 silent\n", error);
    ASSERT_TRUE(s) << error;
    ASSERT_EQ(s->modules[1]->partners.size(), 2u);
    EXPECT_EQ(s->modules[1]->partners[0].gsmNumber, "600100200");
    EXPECT_FALSE(s->modules[1]->partners[1].confirms);
    for (const char* bad : {"partner 2 3\n", "partner 2 60010020x\n", "partner 2 6001002001\n"})
        EXPECT_FALSE(parse(std::string("module 2 90\n") + bad, error)) << bad;
}

TEST(ModuleScenario, ModulesAndTheirSteps) {
    std::string error;
    auto s = parse("module 1 10   # radio\n"
                   "module 4 90\n"
                   "answers 1 1234\n"
                   "silent 4 77 phone 600100200\n"
                   "report 1 1234 30 01 123\n"
                   "report 4 42 130 2 15 phone 600100200 badsum\n"
                   "call 4 600100200\n"
                   "linefault 4 16\n"
                   "garbage 1 100\n"
                   "wait 0.5\n",
                   error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->modules[0]->kind, 0x10);
    EXPECT_EQ(s->modules[3]->kind, 0x90);
    EXPECT_FALSE(s->modules[1]);
    ASSERT_EQ(s->modules[3]->probed.size(), 1u);
    EXPECT_FALSE(s->modules[3]->probed[0].answers);
    EXPECT_EQ(s->modules[3]->probed[0].phone, "600100200");
    ASSERT_EQ(s->steps.size(), 6u);
    EXPECT_EQ(s->steps[0].code, 0x30);
    EXPECT_EQ(s->steps[0].sector, 0x123);
    EXPECT_TRUE(s->steps[1].badsum);
    EXPECT_EQ(s->steps[1].slot, 3);
    EXPECT_EQ(s->steps[3].count, 16);
    EXPECT_DOUBLE_EQ(s->steps[5].seconds, 0.5);

    for (const char* bad : {"module 8 10", "module 1 15", "report 2 1 30", "report 1 12345 30", "report 1 1 1000",
                            "frobnicate 1", "call 1 12x", "linefault 1"}) {
        EXPECT_FALSE(parse(std::string("module 1 10\n") + bad + "\n", error)) << bad;
        EXPECT_EQ(error.rfind("wiersz 2: ", 0), 0u) << error;
    }
}

// What the simulator packs, the station's decoders read back.
TEST(ModuleSimulator, BlocksOfEveryKindDecodeToTheirReport) {
    // The scenario writes every field in hex digits; where a block carries
    // decimal digits the station reads those same digits.
    struct Case { int kind; int code; int subsystem; int sector; int expectSubsystem; int expectSector; };
    const Case cases[] = {
        {0x10, 0x30, 0x12, 0x123, 12, 0x123}, {0x10, 0x130, 2, 0x007, 2, 7},   {0x40, 0x42, 3, 0x005, 3, 5},
        {0x20, 0x30, 1, 0x123, 1, 0x123},     {0x30, 0x30, 1, 0x123, 1, 0x123}, {0x60, 0x30, 1, 0x123, 1, 0x123},
        {0xA0, 0x130, 1, 0x009, 0, 9},        {0x70, 0x130, 1, 0x15, 1, 15},    {0x70, 0x930, 0x12, 0x107, 12, 107},
        {0x80, 0x130, 2, 0x015, 2, 0x15},     {0x90, 0x302, 1, 0x001, 1, 1},    {0xB0, 0x130, 3, 0x123, 0, 0x123},
    };
    for (const Case& c : cases) {
        const sim::SimBlock b = sim::simReportBlock(c.kind, 1234, c.code, c.subsystem, c.sector, "600100200");
        const DecodedBlock d = decodeReportBlock(c.kind, b.status, b.bytes, {});
        EXPECT_EQ(d.outcome, BlockOutcome::Report) << std::hex << c.kind;
        EXPECT_EQ(d.subscriber, 1234) << std::hex << c.kind;
        EXPECT_EQ(d.code, c.code) << std::hex << c.kind;
        EXPECT_EQ(d.subsystem, c.expectSubsystem) << std::hex << c.kind;
        EXPECT_EQ(d.sector, c.expectSector) << std::hex << c.kind;
        EXPECT_FALSE(d.unknownSubscriber);
    }
    const sim::SimBlock ademco = sim::simReportBlock(0x50, 1020, 0x31, 0, 0, "");
    const DecodedBlock a = decodeReportBlock(0x50, 1, ademco.bytes, {});
    EXPECT_EQ(a.subscriber, 1020) << "zeros sent as 0xA";
    EXPECT_EQ(a.code, 0x31);

    for (int kind : {0x10, 0x40, 0x30, 0x60, 0x90, 0xB0}) {
        const sim::SimBlock b = sim::simProbeAnswer(kind, 77, 4, "600100200");
        const DecodedBlock d = decodeReportBlock(kind, b.status, b.bytes, {});
        EXPECT_EQ(d.outcome, BlockOutcome::ProbeAnswer) << std::hex << kind;
        EXPECT_TRUE(d.probeAccepted) << std::hex << kind;
        EXPECT_EQ(d.subscriber, 77) << std::hex << kind;
    }
    const sim::SimBlock call = sim::simBareCall("600100200");
    EXPECT_EQ(decodeReportBlock(0x90, 1, call.bytes, {}).outcome, BlockOutcome::BareCall);
}

struct TwoPorts final : SerialPortList {
    std::vector<std::string> names;
    std::vector<std::string> presentPorts() override { return names; }
};

struct Sinks final : ReportProcessor, FrameIntake, PhoneOwnerLookup, ReportPaths, ModuleLinks {
    std::vector<Report> reports;
    std::vector<std::pair<int, int>> probes;
    int taken = 0;
    int processReport(const Report& r) override {
        reports.push_back(r);
        return ReportProcessing::kNoFollowUp;
    }
    std::optional<IntakeTicket> take(IntakeChannel, int, std::span<const uint8_t>) override {
        return IntakeTicket{++taken, 0};
    }
    void processed(const IntakeTicket&) override {}
    std::optional<int> ownerOfPhone(const std::string&) override { return std::nullopt; }
    std::optional<PathDescriptor> describe(int) const override { return std::nullopt; }
    void markProbeAnswered(int path, int subscriber) override { probes.emplace_back(path, subscriber); }
    std::vector<std::array<int, 3>> confirmations; // subscriber, base, path bit
    void confirmForwarding(int subscriber, int base, int bit) override { confirmations.push_back({subscriber, base, bit}); }
    void confirmGprsForwarding(int, int, int, int, int) override {}
    bool stageGprsAcknowledgement(int, std::span<const uint8_t>) override { return false; }
    void endQueuedText(int, int) override {}
    void forwardOverGprs(const Report&) override {}
    void wakeScreen() override {}
};

struct StationSide : test::HistoryRig {
    TwoPorts list;
    SerialPorts serial{list, [] { return std::make_unique<QtSerialLine>(); }};
    SystemClock wallClock;
    FrameBuffer frame;
    TraceRing trace;
    ConfigBlock config{};
    PathTypeTable types;
    Sinks sinks;
    Scheduler scheduler{DataDir(dir.path()), clock, messages, history};
    BlockLst blockades{DataDir(dir.path()), messages, history, scheduler};
    ModuleBus bus{{serial, frame, trace, wallClock, messages}};
    ModulePoll poll{{bus, serial, frame, trace, wallClock, messages, config, types, history, sinks, sinks, scheduler,
                     sinks, blockades, sinks, sinks}};
};

// The whole bus over real pseudo-terminals: the simulator plays its modules,
// the station's module poll serves them as the timer would.
TEST(ModuleSimulator, StationPollsEverySimulatedModule) {
    test::TempDir links;
    const std::string interfacePath = links.file("interfejs");
    const std::string dataPath = links.file("dane");
    sim::PtyLink interfaceLink, dataLink;
    std::string error;
    ASSERT_TRUE(interfaceLink.create(interfacePath, error)) << error;
    ASSERT_TRUE(dataLink.create(dataPath, error)) << error;
    auto scenario = parse("module 1 10\nmodule 2 30\nmodule 3 70\nmodule 5 90\n"
                          "answers 1 77\n"
                          "wait 0.5\n"
                          "report 1 1234 30 01 123\n"
                          "report 2 42 31 02 005\n"
                          "report 3 555 130 01 15\n"
                          "report 5 9 302 01 001 phone 600100200\n"
                          "report 2 43 31 badsum\n"
                          "garbage 3 20\n"
                          "linefault 2 3\n",
                          error);
    ASSERT_TRUE(scenario) << error;

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::ostringstream log;
        sim::ModulePlayOptions options;
        options.lingerSeconds = 1.5;
        const auto result = sim::playModuleScenario(interfaceLink, dataLink, *scenario, options, log);
        const bool ok = result.failed == 0 && result.reports == 5;
        if (!ok) std::fputs(log.str().c_str(), stderr);
        ::_exit(ok ? 0 : 1);
    }

    StationSide station;
    ASSERT_EQ(station.history.OpenHistory("logf"), kHistoryCurrent);
    station.list.names = {interfacePath, dataPath};
    ConfigBlock ports{};
    ports.inter_port = 1;
    ports.data_port = 2;
    ASSERT_EQ(station.serial.OpenSerialPorts(ports), 0) << station.serial.lastError();
    station.trace.setEnabled(true);

    PolledPath paths[] = {{0, 0x10, 0, kPathRadio}, {1, 0x30, 0, kPathDialUp}, {2, 0x70, 0, kPathContactId},
                          {4, 0x90, 0, kPathGsm}};
    bool probed = false;
    int status = -1;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; std::chrono::steady_clock::now() - start < std::chrono::seconds(30); ++round) {
        for (PolledPath& p : paths) {
            if (station.bus.CheckModule(p.slot, p.kind) != 0) continue;
            if (!probed && round == 2 && p.slot == 0) {
                // A probe order for subscriber 77, as the probe step stages it.
                station.frame[160] = 0x00, station.frame[161] = 0x77, station.frame[162] = 4;
                EXPECT_EQ(station.poll.poll(p, kPollSendOrder), 2);
                probed = true;
            }
            station.poll.poll(p, kPollNormal);
        }
        if (::waitpid(child, &status, WNOHANG) == child) break;
    }
    if (!WIFEXITED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the simulator did not finish";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "every exchange as a module expects it";
    ASSERT_EQ(station.sinks.reports.size(), 4u);
    std::map<int, Report> bySlot;
    for (const Report& r : station.sinks.reports) bySlot[r.path] = r;
    EXPECT_EQ(bySlot[0].subscriber, 1234);
    EXPECT_EQ(bySlot[0].code, 0x30);
    EXPECT_EQ(bySlot[1].subscriber, 42);
    EXPECT_EQ(bySlot[1].code, 0x31);
    EXPECT_EQ(bySlot[2].subscriber, 555);
    EXPECT_EQ(bySlot[2].code, 0x130);
    EXPECT_EQ(bySlot[4].subscriber, 9);
    EXPECT_EQ(bySlot[4].code, 0x302);
    ASSERT_EQ(station.sinks.probes.size(), 1u);
    EXPECT_EQ(station.sinks.probes[0], std::make_pair(0, 77));
    EXPECT_EQ(station.sinks.taken, 5) << "four reports and the probe answer, each journaled";
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

TEST(ModuleSimulator, ALinkNeverReplacesAFile) {
    test::TempDir dir;
    const std::string path = dir.file("dane");
    { std::ofstream(path) << "the subscriber file"; }
    sim::PtyLink link;
    std::string error;
    EXPECT_FALSE(link.create(path, error));
    EXPECT_NE(error.find("nie jest dowiązaniem"), std::string::npos) << error;
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "the subscriber file");
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

// A transmitting centre forwards two alarms by SMS over the simulated GSM
// module: the base that confirms answers with its number and the
// subscriber, which the station's poll takes as that base's confirmation;
// the silent one never answers.
TEST(ModuleSimulator, AGsmPartnerConfirmsTheAlarmForwardedToIt) {
    test::TempDir links;
    const std::string interfacePath = links.file("interfejs");
    const std::string dataPath = links.file("dane");
    sim::PtyLink interfaceLink, dataLink;
    std::string error;
    ASSERT_TRUE(interfaceLink.create(interfacePath, error)) << error;
    ASSERT_TRUE(dataLink.create(dataPath, error)) << error;
    auto scenario = parse("module 2 90\npartner 2 600100200\npartner 2 600100300 silent\n", error);
    ASSERT_TRUE(scenario) << error;

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::ostringstream log;
        sim::ModulePlayOptions options;
        options.lingerSeconds = 3;
        const auto result = sim::playModuleScenario(interfaceLink, dataLink, *scenario, options, log);
        const bool ok = result.failed == 0 && result.orders == 2;
        if (!ok) std::fputs(log.str().c_str(), stderr);
        ::_exit(ok ? 0 : 1);
    }

    StationSide station;
    ASSERT_EQ(station.history.OpenHistory("logf"), kHistoryCurrent);
    station.list.names = {interfacePath, dataPath};
    ConfigBlock& config = station.config;
    config.inter_port = 1;
    config.data_port = 2;
    std::snprintf(config.bases[0].gsmNumber, sizeof config.bases[0].gsmNumber, "600100300");
    config.bases[0].gsmParam = 2;
    std::snprintf(config.bases[3].gsmNumber, sizeof config.bases[3].gsmNumber, "600100200");
    config.bases[3].gsmParam = 2;
    ASSERT_EQ(station.serial.OpenSerialPorts(config), 0) << station.serial.lastError();

    PolledPath gsm{1, 0x90, 0, kPathGsm};
    ASSERT_EQ(station.bus.CheckModule(gsm.slot, gsm.kind), 0);
    stageGsmForward(station.frame, "600100300", 2, 1001, 0x130, 1, 3);
    ASSERT_EQ(station.poll.poll(gsm, kPollSendOrder), 2);
    stageGsmForward(station.frame, "600100200", 2, 1002, 0x130, 1, 3);
    ASSERT_EQ(station.poll.poll(gsm, kPollSendOrder), 2);
    int status = -1;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
        if (station.bus.CheckModule(gsm.slot, gsm.kind) == 0) station.poll.poll(gsm, kPollNormal);
        if (::waitpid(child, &status, WNOHANG) == child) break;
    }
    if (!WIFEXITED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the simulator did not finish";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "every exchange as a module expects it";
    ASSERT_EQ(station.sinks.confirmations.size(), 1u);
    EXPECT_EQ(station.sinks.confirmations[0], (std::array<int, 3>{1002, 3, 0x40}));
}

} // namespace
} // namespace k4

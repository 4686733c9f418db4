#include "sim/base_player.h"
#include "sim/far_base.h"

#include "baselink/base_link.h"
#include "platform/qt_serial_line.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace k4 {
namespace {

std::optional<std::vector<sim::BaseStep>> parse(const std::string& text, std::string& error) {
    std::istringstream in(text);
    return sim::parseBaseScenario(in, error);
}

TEST(BaseScenario, StepsBecomeTheFramesABaseSends) {
    std::string error;
    auto steps = parse("# a burglary and a fire\n"
                       "report 1234 130 1 5\n"
                       "report AAAA AAA AA AAA\n"
                       "badsum 7 E10\n"
                       "test\n"
                       "report 42 302 phone 600100200 time 261209120000\n"
                       "raw 41 42\n"
                       "noise 3\n"
                       "wait 0.5\n"
                       "loop\n",
                       error);
    ASSERT_TRUE(steps) << error;
    ASSERT_EQ(steps->size(), 9u);
    const auto& s = *steps;
    EXPECT_EQ(s[0].bytes, sim::baseFrameBytes({0x11, '2', '1', '2', '3', '4', 0x14, '1', '3', '0', '0', '1', '0', '0', '5'}));
    EXPECT_EQ(s[0].expect, sim::BaseStep::Expect::Accept);
    EXPECT_EQ(s[1].bytes[5], 'A');
    EXPECT_EQ(s[2].expect, sim::BaseStep::Expect::Refuse);
    EXPECT_NE(s[2].bytes.back(), sim::baseFrameBytes(std::vector<uint8_t>(s[2].bytes.begin() + 2, s[2].bytes.end() - 2)).back());
    EXPECT_EQ(s[3].bytes, (std::vector<uint8_t>{0x0A, 0x00, 0x0D, 0x17}));
    EXPECT_EQ(s[4].bytes[2], 0x10);
    EXPECT_EQ(s[4].bytes[12], 0x13);
    EXPECT_EQ(s[5].kind, sim::BaseStep::Kind::Raw);
    EXPECT_EQ(s[6].count, 3);
    EXPECT_DOUBLE_EQ(s[7].seconds, 0.5);
    EXPECT_EQ(s[8].kind, sim::BaseStep::Kind::Loop);
}

TEST(BaseScenario, BadLinesAreNamed) {
    for (const char* text : {"report 12345 130", "report 1 1000", "report 1 130 100", "frobnicate", "raw",
                             "noise x", "report 1 130 phone 1234567890", "frame GG"}) {
        std::string error;
        EXPECT_FALSE(parse(std::string("test\n") + text + "\n", error)) << text;
        EXPECT_EQ(error.rfind("wiersz 2: ", 0), 0u) << error;
    }
}

struct LinkPorts final : SerialPortList {
    std::string path;
    std::vector<std::string> presentPorts() override { return {path}; }
};

struct Reports final : ReportProcessor, PreparedEntryLog, PhoneOwnerLookup, FrameIntake {
    std::vector<Report> reports;
    int unstored = 0; // the first frames the disk cannot take
    std::optional<IntakeTicket> take(IntakeChannel, int, std::span<const uint8_t>) override {
        if (unstored > 0) {
            --unstored;
            return std::nullopt;
        }
        return IntakeTicket{};
    }
    void processed(const IntakeTicket&) override {}
    int processReport(const Report& r) override {
        reports.push_back(r);
        return 0;
    }
    int logPreparedEntry(int, const PreparedEntry&) override { return 0; }
    std::optional<int> ownerOfPhone(const std::string&) override { return 42; }
};

// The whole road over a real pseudo-terminal: the simulator plays a
// scenario, the station's base link answers and decodes it.
TEST(BaseSimulator, StationAnswersAndDecodesWhatTheSimulatorSends) {
    test::TempDir dir;
    const std::string linkPath = dir.file("baza1");
    sim::PtyLink link;
    std::string error;
    ASSERT_TRUE(link.create(linkPath, error)) << error;

    std::string scenarioError;
    auto steps = parse("report 1234 130 1 5\nnoise 4\nbadsum 7 E10\ntest\nreport 42 302 phone 600100200 time now\n",
                       scenarioError);
    ASSERT_TRUE(steps);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The station opens its port first; what came before would be lost
        // with the flush of the open, as on a real line.
        ::usleep(500 * 1000);
        std::ostringstream log;
        sim::PlayOptions options;
        options.intervalMs = 50;
        const auto result = sim::playBaseScenario(link, *steps, options, log);
        if (result.failed != 0 || result.asExpected != 4) std::fputs(log.str().c_str(), stderr);
        ::_exit(result.failed == 0 && result.asExpected == 4 ? 0 : 1);
    }

    SystemClock clock;
    LinkPorts ports{};
    ports.path = linkPath;
    SerialPorts serial(ports, [] { return std::make_unique<QtSerialLine>(); });
    ConfigBlock config{};
    config.mode = 2;
    config.data_port = 1;
    config.base1_speed = 9600;
    ASSERT_EQ(serial.OpenSerialPorts(config), 0) << serial.lastError();
    FrameBuffer frame;
    TraceRing trace;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    Reports sink;
    BaseLink base({serial, frame, trace, clock, messages, config, sink, sink, sink, sink});

    int status = -1;
    for (int tick = 0; tick < 300; ++tick) { // at most about 30 s
        base.PollBaseLink();
        if (::waitpid(child, &status, WNOHANG) == child) break;
    }
    if (!WIFEXITED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the simulator did not finish";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "every frame answered as expected";
    ASSERT_EQ(sink.reports.size(), 2u);
    EXPECT_EQ(sink.reports[0].subscriber, 1234);
    EXPECT_EQ(sink.reports[0].code, 0x130);
    EXPECT_EQ(sink.reports[0].subsystem, 1);
    EXPECT_EQ(sink.reports[0].sector, 5);
    EXPECT_EQ(sink.reports[1].subscriber, 42);
    EXPECT_EQ(sink.reports[1].code, 0x302);
    EXPECT_TRUE(ui.boxes.empty());
}

// A base keeps a report the centre did not accept and sends it again: two
// frames the station could not store go unanswered, the third is accepted.
TEST(BaseSimulator, ReportNotAcceptedIsRepeatedUntilItIs) {
    test::TempDir dir;
    const std::string linkPath = dir.file("baza1");
    sim::PtyLink link;
    std::string error;
    ASSERT_TRUE(link.create(linkPath, error)) << error;
    std::string scenarioError;
    auto steps = parse("report 1234 130 1 5\n", scenarioError);
    ASSERT_TRUE(steps);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::usleep(500 * 1000);
        std::ostringstream log;
        sim::PlayOptions options;
        options.intervalMs = 50;
        options.answerTimeoutMs = 600;
        options.repeats = 3;
        const auto result = sim::playBaseScenario(link, *steps, options, log);
        const bool ok = result.accepted == 1 && result.sends == 3 && result.failed == 0;
        if (!ok) std::fputs(log.str().c_str(), stderr);
        ::_exit(ok ? 0 : 1);
    }

    SystemClock clock;
    LinkPorts ports{};
    ports.path = linkPath;
    SerialPorts serial(ports, [] { return std::make_unique<QtSerialLine>(); });
    ConfigBlock config{};
    config.mode = 2;
    config.data_port = 1;
    config.base1_speed = 9600;
    ASSERT_EQ(serial.OpenSerialPorts(config), 0) << serial.lastError();
    FrameBuffer frame;
    TraceRing trace;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    Reports sink;
    sink.unstored = 2;
    BaseLink base({serial, frame, trace, clock, messages, config, sink, sink, sink, sink});
    int status = -1;
    for (int tick = 0; tick < 300; ++tick) {
        base.PollBaseLink();
        if (::waitpid(child, &status, WNOHANG) == child) break;
    }
    if (!WIFEXITED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the simulator did not finish";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "sent three times, accepted once";
    EXPECT_EQ(sink.reports.size(), 1u);
}

// The base of another centre takes what a transmitting centre forwards:
// the forward frame and the empty test frame, each answered LF CR.
TEST(FarBaseSimulator, TakesTheForwardedFramesOfATransmittingCentre) {
    test::TempDir dir;
    const std::string linkPath = dir.file("baza-obca");
    sim::PtyLink link;
    std::string error;
    ASSERT_TRUE(link.create(linkPath, error)) << error;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::ostringstream log;
        const auto result = sim::playFarBase(link, sim::FarBaseAnswer::Accept, 4, nullptr, log);
        const bool ok = result.frames == 2 && result.forwards == 1 && result.tests == 1 && result.badFrames == 0;
        if (!ok) std::fputs(log.str().c_str(), stderr);
        ::_exit(ok ? 0 : 1);
    }
    SystemClock clock;
    LinkPorts ports{};
    ports.path = linkPath;
    SerialPorts serial(ports, [] { return std::make_unique<QtSerialLine>(); });
    ConfigBlock config{};
    config.mode = 1;
    config.inter_port = 0;
    config.data_port = 0;
    config.base1_port = 1;
    config.base1_speed = 9600;
    serial.OpenSerialPorts(config);
    ASSERT_TRUE(serial.line(kComPort3).isOpen()) << serial.lastError();
    FrameBuffer frame;
    TraceRing trace;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    Reports sink;
    BaseLink base({serial, frame, trace, clock, messages, config, sink, sink, sink, sink});
    ::usleep(200 * 1000);
    BaseLink::putForwardFrame(frame, 1234, false, 0x130, 1, 5);
    EXPECT_EQ(base.ForwardFrame(kComPort3), 0);
    BaseLink::putEmptyFrame(frame);
    EXPECT_EQ(base.ForwardFrame(kComPort3), 0);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(sim::describeForwardFrame({0x0A, 15, 0x11, '2', '1', '2', '3', '4', 0x14, '1', '3', '0', '0', '1', '0',
                                         '0', '5', 0x0D, 0}),
              "abonent 1234 kod 130 podsystem 01 sektor 005");
}

} // namespace
} // namespace k4

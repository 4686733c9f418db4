// A whole station on a pseudo-terminal whose far end misbehaves: a line that
// chatters without end, and a base that holds the line while it is answered.
#include "shell/station.h"

#include "admin/installation.h"
#include "platform/qt_serial_line.h"
#include "sim/base_scenario.h"
#include "sim/pty_link.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <sstream>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;
const Bytes kAccepted{0x0A, 0x0D};

void ensureApplication() {
    static int argc = 1;
    static char name[] = "tests_station";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

struct OnePort final : SerialPortList {
    std::string path;
    std::vector<std::string> presentPorts() override { return {path}; }
};

Bytes frameOf(const std::string& step) {
    std::istringstream in(step + "\n");
    std::string error;
    auto steps = sim::parseBaseScenario(in, error);
    return steps && !steps->empty() ? steps->front().bytes : Bytes{};
}

// A receiving centre (mode 2) with one base on a pseudo-terminal.
struct OneBaseStation {
    test::TempDir tmp;
    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    OnePort ports;
    sim::PtyLink base;
    std::unique_ptr<Station> station;

    OneBaseStation() {
        ensureApplication();
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 2;
        config.block().data_port = 1;
        config.block().base2_port = 0;
        EXPECT_EQ(config.SaveConfig(1), 0);
        ports.path = tmp.file("baza1");
        EXPECT_TRUE(base.create(ports.path, error)) << error;
        station = std::make_unique<Station>(Station::Environment{
            DataDir(tmp.path()), ui, clock, ports, [] { return std::make_unique<QtSerialLine>(); },
            [](int) {}});
        EXPECT_EQ(station->start(), 0);
        station->trace().setEnabled(true);
    }
    ~OneBaseStation() { station->stop(); }

    // Ticks until the base has a whole answer, or ticks have gone by.
    Bytes answerTo(const Bytes& frame, int ticks = 20) {
        EXPECT_TRUE(base.write(frame));
        Bytes answer;
        for (int tick = 0; tick < ticks && answer.size() < 2; ++tick) {
            station->tick();
            for (auto b = base.read(std::chrono::milliseconds(20)); b; b = base.read(std::chrono::milliseconds(20)))
                answer.push_back(*b);
        }
        return answer;
    }
    bool traced(const std::string& text) const {
        for (int slot = 0; slot < TraceRing::kLines; ++slot)
            if (station->trace().line(slot).rfind(text, 0) == 0) return true;
        return false;
    }
};

TEST(StationLineFaults, AChatteringLineLeavesTheTickRunning) {
    OneBaseStation rig;
    int clockShown = 0;
    rig.station->timer().setClockShown([&](const std::string&) { ++clockShown; });

    // The line sends noise, never a 0x0A, for as long as the station ticks;
    // a station that hunted until the noise stops would never see its
    // first tick end.
    std::atomic<bool> chattering{true};
    std::atomic<bool> writing{true};
    std::atomic<int> bursts{0};
    std::thread noise([&] {
        const Bytes burst(256, 0x55);
        while (chattering) {
            rig.base.write(burst);
            ++bursts;
        }
        writing = false;
    });
    while (bursts < 8) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (int tick = 0; tick < 20; ++tick) {
        rig.clock.advanceMs(1000);
        rig.station->tick();
    }
    const bool stillChattering = writing;
    chattering = false;
    // The writer may be held by a full line: the ticks skip the rest.
    for (int tick = 0; tick < 100000 && writing; ++tick) rig.station->tick();
    noise.join();
    EXPECT_TRUE(stillChattering);
    EXPECT_EQ(clockShown, 20) << "every tick got through to its clock";
    EXPECT_TRUE(rig.traced("odbx 55"));
    EXPECT_FALSE(rig.station->baseLink().locked());

    // Once the noise has been skipped, a frame is answered as ever.
    for (int tick = 0; tick < 100000; ++tick) {
        rig.station->trace().clear();
        rig.station->tick();
        if (rig.station->trace().line(0).empty()) break;
    }
    EXPECT_EQ(rig.answerTo(frameOf("report 1001 130 1 3")), kAccepted);
    EXPECT_TRUE(rig.ui.boxes.empty());
}

TEST(StationLineFaults, AFailedAnswerWriteIsDroppedAndTheNextFrameAnswered) {
    OneBaseStation rig;
    // The base holds the line: nothing the station writes can leave.
    const int tty = ::open(rig.base.stationEnd().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(tty, 0);
    ASSERT_EQ(::tcflow(tty, TCOOFF), 0);
    EXPECT_TRUE(rig.answerTo(frameOf("report 1001 130 1 3"), 2).empty());
    EXPECT_TRUE(rig.traced("odb -6"));
    ASSERT_EQ(::tcflow(tty, TCOON), 0);
    ::close(tty);

    // The answer that could not go is not sent late, and the link is not
    // locked: the next frame gets exactly its own answer.
    EXPECT_FALSE(rig.base.read(std::chrono::milliseconds(100)).has_value());
    EXPECT_EQ(rig.answerTo(frameOf("report 1001 130 1 4")), kAccepted);
    EXPECT_FALSE(rig.station->baseLink().locked());
    EXPECT_FALSE(rig.base.read(std::chrono::milliseconds(50)).has_value());
    EXPECT_TRUE(rig.ui.boxes.empty()) << "no lock and no box";
}

} // namespace
} // namespace k4

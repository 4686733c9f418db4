// The whole station in the standard mode from a fresh installation on the
// pseudo-terminals of the module-bus simulator, which runs in a process of
// its own and checks every byte the station sends.
#include "shell/station.h"

#include "admin/installation.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "history/history_reader.h"
#include "platform/qt_serial_line.h"
#include "sim/module_player.h"
#include "sim/module_scenario.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace k4 {
namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "tests_station";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

struct ListedPorts final : SerialPortList {
    std::vector<std::string> paths;
    std::vector<std::string> presentPorts() override { return paths; }
};

TEST(ModuleSimStation, ModulesFoundReportsTakenProbesAnsweredAndALineFaultTold) {
    ensureApplication();
    test::TempDir data, links;
    std::string error;
    ASSERT_TRUE(admin::writeFreshInstallation(data.path(), false, error)) << error;
    {
        Config config{DataDir(data.path())};
        ASSERT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 0;
        config.block().inter_port = 1;
        config.block().data_port = 2;
        ASSERT_EQ(config.SaveConfig(1), 0);
    }
    const std::string interfacePath = links.file("interfejs"), dataPath = links.file("dane");
    sim::PtyLink interfaceLink, dataLink;
    ASSERT_TRUE(interfaceLink.create(interfacePath, error)) << error;
    ASSERT_TRUE(dataLink.create(dataPath, error)) << error;
    std::istringstream text("module 1 10\nmodule 3 30\nmodule 4 50\nmodule 5 30\n"
                            "answers 1 1001\nsilent 1 1002\n"
                            "wait 1\n"
                            "report 1 1001 130 01 001\n"
                            "report 3 1003 31 02 005\n"
                            "report 4 1004 31\n"
                            "linefault 3 20\n"
                            "wait 2\n");
    auto scenario = sim::parseModuleScenario(text, error);
    ASSERT_TRUE(scenario) << error;

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::ostringstream log;
        sim::ModulePlayOptions options;
        options.lingerSeconds = 1.5;
        const auto result = sim::playModuleScenario(interfaceLink, dataLink, *scenario, options, log);
        std::ofstream(links.file("symulator.log")) << log.str();
        ::_exit(result.failed == 0 && result.reports >= 3 ? 0 : 1);
    }

    test::ManualClock clock;
    test::ScriptedOperatorUi ui;
    ListedPorts ports;
    ports.paths = {interfacePath, dataPath};
    auto station = std::make_unique<Station>(Station::Environment{
        DataDir(data.path()), ui, clock, ports, [] { return std::make_unique<QtSerialLine>(); }, [](int) {}});
    ASSERT_EQ(station->start(), 0);
    station->trace().setEnabled(true);
    // The module check at start found the four modules, the second dial-up
    // receiver numbered after the first.
    PathTable& paths = station->paths();
    ASSERT_NE(paths.at(0), nullptr);
    EXPECT_EQ(paths.at(0)->kind, 0x10);
    ASSERT_NE(paths.at(4), nullptr);
    EXPECT_EQ(paths.at(4)->number, 1);
    EXPECT_EQ(paths.at(1), nullptr);
    EXPECT_EQ(data.read("pakiety").rfind("1 7 12\n1 10\n2 BRAK\n3 30\n4 50\n5 30\n6 BRAK\n7 BRAK\n", 0), 0u);

    // Two radio subscribers are probed: "&Pakiety" again builds the list.
    for (int number : {1001, 1002}) {
        Sbscrbr s(station->database(), ByNumber{number});
        s.record.tracks = s.record.chk_tracks = 0x02;
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    }
    ASSERT_EQ(station->moduleCheck(), 0);
    ASSERT_EQ(paths.at(0)->list->size(), 2);

    int status = -1;
    const auto began = std::chrono::steady_clock::now();
    int64_t stationMs = 0;
    while (std::chrono::steady_clock::now() - began < std::chrono::seconds(40)) {
        // The station's time runs five times faster than the wall clock:
        // probes come every two real seconds, the simulator can see the
        // bus idle in between and finish. On a busy machine this loop turns
        // slower, so the ticks catch up with the wall clock rather than
        // letting the simulator's scenario end before the station's probes.
        const int64_t realMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
        do {
            clock.advanceMs(100);
            stationMs += 100;
            station->tick();
            QCoreApplication::processEvents();
        } while (stationMs < 5 * realMs);
        ::usleep(20'000);
        if (::waitpid(child, &status, WNOHANG) == child) break;
    }
    if (!WIFEXITED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        std::string trace;
        for (int i = 0; i < 20; ++i) trace += station->trace().line(i) + "\n";
        readHistoryFile(data.file("logf"), [&](const HistoryEntry& e) {
            trace += std::to_string(e.subscriber) + " " + std::to_string(e.kindCode()) + "\n";
            return true;
        });
        FAIL() << "the simulator did not finish; the station traced:\n" << trace;
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "every exchange as the modules expect it:\n" << links.read("symulator.log");
    station->stop();

    const int noAnswer = station->config().special_codes[7];
    std::vector<HistoryEntry> reports, system;
    readHistoryFile(data.file("logf"), [&](const HistoryEntry& e) {
        (e.isSystem() ? system : reports).push_back(e);
        return true;
    });
    auto count = [&](int subscriber, int code) {
        int n = 0;
        for (const auto& e : reports) n += e.subscriber == subscriber && e.kindCode() == code;
        return n;
    };
    EXPECT_EQ(count(1001, 0x130), 1);
    EXPECT_EQ(count(1003, 0x31), 1);
    EXPECT_EQ(count(1004, 0x31), 1);
    EXPECT_EQ(count(1001, noAnswer), 0) << "1001 answers its probes";
    EXPECT_GE(count(1002, noAnswer), 1) << "1002 stays silent";
    int faults = 0;
    for (const auto& e : system) faults += e.kindCode() == 11;
    EXPECT_EQ(faults, 1);
}

} // namespace
} // namespace k4

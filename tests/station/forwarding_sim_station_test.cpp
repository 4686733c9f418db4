// A transmitting centre from a fresh installation on the pseudo-terminals of
// the module-bus simulator, which runs in a process of its own: a radio
// module with the receiving base of one centre behind it and a GSM module
// that reaches another by SMS. An alarm goes to both, and both bases'
// confirmations come back through the simulated modules.
#include "shell/station.h"

#include "admin/installation.h"
#include "baselink/forwarding_supervision.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "history/history_reader.h"
#include "platform/qt_serial_line.h"
#include "processing/forwarding.h"
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
    if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
}

struct SimulatedPorts final : SerialPortList {
    std::vector<std::string> paths;
    std::vector<std::string> presentPorts() override { return paths; }
};

TEST(ForwardingSimStation, AnAlarmGoesToARadioAndAGsmBaseAndBothConfirm) {
    ensureApplication();
    test::TempDir data, links;
    std::string error;
    ASSERT_TRUE(admin::writeFreshInstallation(data.path(), false, error)) << error;
    {
        Config config{DataDir(data.path())};
        ASSERT_EQ(config.LoadConfig(1), 0);
        ConfigBlock& c = config.block();
        c.mode = 1;
        c.inter_port = 1;
        c.data_port = 2;
        for (BaseEntry& b : c.bases) b.rsLink = 255;
        std::snprintf(c.bases[0].name, sizeof c.bases[0].name, "Radiowa");
        c.bases[0].radio = 0x01;
        std::snprintf(c.bases[1].name, sizeof c.bases[1].name, "Gsm");
        std::snprintf(c.bases[1].gsmNumber, sizeof c.bases[1].gsmNumber, "600100200");
        c.bases[1].gsmParam = 2;
        ASSERT_EQ(config.SaveConfig(1), 0);
    }
    const std::string interfacePath = links.file("interfejs"), dataPath = links.file("dane");
    sim::PtyLink interfaceLink, dataLink;
    ASSERT_TRUE(interfaceLink.create(interfacePath, error)) << error;
    ASSERT_TRUE(dataLink.create(dataPath, error)) << error;
    std::istringstream text("module 1 10\nmodule 2 90\npartner 1 1\npartner 2 600100200\n"
                            "wait 1\n"
                            "report 1 1001 130 01 003\n"
                            "wait 3\n");
    auto scenario = sim::parseModuleScenario(text, error);
    ASSERT_TRUE(scenario) << error;

    // The modules answer the module check at the start; the report waits
    // in the radio module for the first poll.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::ostringstream log;
        sim::ModulePlayOptions options;
        options.lingerSeconds = 1.5;
        const auto result = sim::playModuleScenario(interfaceLink, dataLink, *scenario, options, log);
        std::ofstream(links.file("symulator.log")) << log.str();
        ::_exit(result.failed == 0 && result.reports >= 3 && result.orders >= 2 ? 0 : 1);
    }

    test::ManualClock clock;
    test::ScriptedOperatorUi ui;
    SimulatedPorts ports;
    ports.paths = {interfacePath, dataPath};
    auto station = std::make_unique<Station>(Station::Environment{
        DataDir(data.path()), ui, clock, ports, [] { return std::make_unique<QtSerialLine>(); }, [](int) {}});
    ASSERT_EQ(station->start(), 0);
    // Not the hourly radio test: it would hold the one wait the path has.
    station->scheduler().cancel(0, kSchedTestForw, kTestPathTr);
    {
        Sbscrbr s(station->database(), ByNumber{1001});
        std::snprintf(s.record.name, sizeof s.record.name, "Sklep");
        s.record.forw_flag1 = 0x0121; // base 1, radio, every alarm
        s.record.forw_flag2 = 0x0241; // base 2, GSM, every alarm
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    }

    int status = -1;
    const auto began = std::chrono::steady_clock::now();
    int64_t stationMs = 0;
    while (std::chrono::steady_clock::now() - began < std::chrono::seconds(40)) {
        // The station's time keeps pace with the wall clock, at least: the
        // radio base's 7 s for its answer are never shorter than the bus.
        const int64_t realMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
        do {
            clock.advanceMs(100);
            stationMs += 100;
            station->tick();
            QCoreApplication::processEvents();
        } while (stationMs < realMs);
        ::usleep(20'000);
        if (::waitpid(child, &status, WNOHANG) == child) break;
    }
    if (!WIFEXITED(status)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the simulator did not finish";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "every exchange as the modules expect it:\n" << links.read("symulator.log");
    for (int b : {0, 1})
        EXPECT_EQ(station->config().bases[b].flags & (kBaseAwaitsTr | kBaseAwaitsTg), 0) << "base " << b + 1;
    station->stop();

    int forwarded = 0, confirmed = 0, unconfirmed = 0;
    readHistoryFile(data.file("logf"), [&](const HistoryEntry& e) {
        if (!e.isSystem() || e.subscriber != 1001) return true;
        forwarded += e.kindCode() == kHistoryForwarded;
        confirmed += e.kindCode() == kHistoryConfirmed;
        unconfirmed += e.kindCode() == kHistoryNoConfirmation;
        return true;
    });
    EXPECT_EQ(forwarded, 2) << "one entry a base";
    EXPECT_EQ(confirmed, 2) << "TR and TG";
    EXPECT_EQ(unconfirmed, 0);
    const std::string log = links.read("symulator.log");
    EXPECT_NE(log.find("potwierdzenie bazy 1"), std::string::npos) << log;
    EXPECT_NE(log.find("potwierdzenie bazy 600100200"), std::string::npos) << log;
}

} // namespace
} // namespace k4

// "Odzysk" inside a running station: the files it keeps open are closed and
// opened again on the restored ones, so the next report is resolved against
// the restored database; no handle stays on a replaced file, and the intake
// journal and the lock stay as they were.
#include "shell/station.h"

#include "admin/installation.h"
#include "database/lines_list.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "database/subsystem_editing.h"
#include "history/history_reader.h"
#include "platform/qt_serial_line.h"
#include "sim/base_scenario.h"
#include "sim/pty_link.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace k4 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
const Bytes kAccepted{0x0A, 0x0D};

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

// A receiving-only centre (mode 2) with its two bases on pseudo-terminals.
struct RestoreRig {
    RestoreRig() {
        ensureApplication();
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.file("c"), false, error)) << error;
        Config config{DataDir(tmp.file("c"))};
        EXPECT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 2;
        config.block().data_port = 1;
        config.block().base2_port = 2;
        config.block().base1_speed = 9600;
        EXPECT_EQ(config.SaveConfig(1), 0);
        for (int i = 0; i < 2; ++i) {
            links.push_back(std::make_unique<sim::PtyLink>());
            const std::string path = tmp.file("port" + std::to_string(i + 1));
            EXPECT_TRUE(links.back()->create(path, error)) << error;
            ports.paths.push_back(path);
        }
        station = std::make_unique<Station>(Station::Environment{
            DataDir(tmp.file("c")), ui, clock, ports, [] { return std::make_unique<QtSerialLine>(); },
            [](int) { ADD_FAILURE() << "no fatal fault expected"; }});
        EXPECT_EQ(station->start(), 0);
    }
    ~RestoreRig() { station->stop(); }

    void addSubscriber(int number) {
        SubscriberDatabase& db = station->database();
        Sbscrbr s(db, ByNumber{number});
        std::snprintf(s.record.name, sizeof s.record.name, "Abonent %d", number);
        {
            LinesList lines(db.files(), s.record.lines);
            ASSERT_EQ(NewSubsystem(lines, 1, "Parter"), 0);
            SectorsList sectors(lines);
            ASSERT_EQ(NewSector(lines, sectors, 3, "CZ", "Czujka"), 0);
        }
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(db, station->indexes(), s.record, offset), kSubscriberSaved);
    }
    Bytes report(int subscriber) {
        std::istringstream in("report " + std::to_string(subscriber) + " 130 1 3\n");
        std::string error;
        auto steps = sim::parseBaseScenario(in, error);
        EXPECT_TRUE(steps) << error;
        EXPECT_TRUE(links[0]->write(steps->front().bytes));
        Bytes answer;
        for (int tick = 0; tick < 4 && answer.size() < 2; ++tick) {
            station->tick();
            for (auto b = links[0]->read(std::chrono::milliseconds(20)); b; b = links[0]->read(std::chrono::milliseconds(20)))
                answer.push_back(*b);
        }
        return answer;
    }
    // The sector word of the last report entry: 0x1000 marks a subscriber
    // the database does not know.
    int lastReportMask() const {
        int mask = -1;
        readHistoryFile(tmp.file("c/logf"), [&](const HistoryEntry& e) {
            if (!e.isSystem()) mask = e.sector & 0xF000;
            return true;
        });
        return mask;
    }
    // Open descriptors of this process on files that were replaced or removed.
    static std::vector<std::string> staleHandles() {
        std::vector<std::string> stale;
        for (const auto& e : fs::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            const std::string target = fs::read_symlink(e.path(), ec).string();
            if (!ec && target.find(" (deleted)") != std::string::npos) stale.push_back(target);
        }
        return stale;
    }

    test::TempDir tmp;
    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    ListedPorts ports;
    std::vector<std::unique_ptr<sim::PtyLink>> links;
    std::unique_ptr<Station> station;
};

TEST(StationRestore, TheNextReportIsResolvedAgainstTheRestoredDatabase) {
    RestoreRig rig;
    rig.addSubscriber(1001);
    ASSERT_EQ(rig.station->backup().Backup(rig.tmp.file("kopia"), true), 0);
    rig.addSubscriber(1002); // after the copy
    EXPECT_EQ(rig.report(1002), kAccepted);
    EXPECT_EQ(rig.lastReportMask(), 0) << "known before the restore";
    const std::string journalBefore = rig.tmp.read("c/odbior");

    ASSERT_EQ(rig.station->backup().RestoreDatabase(rig.tmp.file("kopia")), 0);
    EXPECT_FALSE(rig.station->heldForRestore());
    EXPECT_TRUE(RestoreRig::staleHandles().empty()) << RestoreRig::staleHandles().front();
    EXPECT_EQ(rig.tmp.read("c/odbior"), journalBefore) << "the intake journal is no part of the copy";
    EXPECT_FALSE(rig.station->indexes().recordOfNumber(1002).has_value());
    EXPECT_TRUE(rig.station->indexes().recordOfNumber(1001).has_value());

    EXPECT_EQ(rig.report(1002), kAccepted);
    EXPECT_EQ(rig.lastReportMask(), 0x1000) << "unknown in the restored database";
    EXPECT_EQ(rig.report(1001), kAccepted);
    EXPECT_EQ(rig.lastReportMask(), 0);
    EXPECT_TRUE(rig.station->indexes().recordOfNumber(1002) == std::nullopt);
}

TEST(StationRestore, WhileTheFilesAreReplacedNoReportIsTakenAndNoneIsLost) {
    RestoreRig rig;
    rig.addSubscriber(1001);
    ASSERT_EQ(rig.station->backup().Backup(rig.tmp.file("kopia"), true), 0);
    // A box of the restore is up while a base sends: the timer ticks under
    // it, and the base hears nothing until the database is open again.
    bool answeredMeanwhile = false;
    rig.ui.whileShown = [&](const BoxRequest&) {
        if (!rig.station->heldForRestore()) return;
        std::istringstream in("report 1001 130 1 3\n");
        std::string error;
        auto steps = sim::parseBaseScenario(in, error);
        rig.links[0]->write(steps->front().bytes);
        for (int tick = 0; tick < 3; ++tick) rig.station->tick();
        answeredMeanwhile = rig.links[0]->read(std::chrono::milliseconds(50)).has_value();
    };
    fs::remove(rig.tmp.file("kopia/obsluga.txt")); // its box comes while the files are out
    ASSERT_EQ(rig.station->backup().RestoreDatabase(rig.tmp.file("kopia")), 0);
    EXPECT_FALSE(answeredMeanwhile);
    rig.ui.whileShown = nullptr;
    // The frame waited in the line; it is taken now.
    Bytes answer;
    for (int tick = 0; tick < 4 && answer.size() < 2; ++tick) {
        rig.station->tick();
        for (auto b = rig.links[0]->read(std::chrono::milliseconds(20)); b; b = rig.links[0]->read(std::chrono::milliseconds(20)))
            answer.push_back(*b);
    }
    EXPECT_EQ(answer, kAccepted);
    EXPECT_EQ(rig.lastReportMask(), 0);
}

} // namespace
} // namespace k4

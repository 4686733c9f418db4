// The whole station under storage faults: a report is on the disk before a
// base hears "accepted", a disk that cannot take it stops acceptance (the
// base keeps and repeats the report), and what a crash left unprocessed is
// processed at the next start.
#include "shell/station.h"

#include "admin/installation.h"
#include "database/stamp.h"
#include "history/history_reader.h"
#include "intake/intake_journal.h"
#include "platform/qt_serial_line.h"
#include "sim/base_scenario.h"
#include "sim/pty_link.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/small_tmpfs.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;
const Bytes kAccepted{0x0A, 0x0D};
constexpr int kStartOfWorkKind = 1;

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

// A fresh installation in mode 2 with base 1 on port 1; the data directory
// is the test's choice (a small disk of its own, or one to be removed).
void installReceivingCentre(const std::string& dir) {
    std::string error;
    ASSERT_TRUE(admin::writeFreshInstallation(dir, false, error)) << error;
    Config config{DataDir(dir)};
    ASSERT_EQ(config.LoadConfig(1), 0);
    config.block().mode = 2;
    config.block().data_port = 1;
    config.block().base1_speed = 9600;
    ASSERT_EQ(config.SaveConfig(1), 0);
}

Bytes reportFrame(int subscriber, int sector) {
    std::istringstream in("report " + std::to_string(subscriber) + " 130 1 " + std::to_string(sector) + "\n");
    std::string error;
    auto steps = sim::parseBaseScenario(in, error);
    EXPECT_TRUE(steps) << error;
    return steps ? steps->front().bytes : Bytes{};
}

struct HistoryView {
    std::vector<HistoryEntry> reports; // entries of reports, in file order
    std::vector<HistoryEntry> all;
};
HistoryView readHistory(const std::string& dir) {
    HistoryView view;
    readHistoryFile(dir + "/logf", [&](const HistoryEntry& e) {
        view.all.push_back(e);
        if (!e.isSystem()) view.reports.push_back(e);
        return true;
    });
    return view;
}

// One station over the given directory, time in the test's hand, its base on
// a pseudo-terminal kept outside the data directory.
class IntakeRig {
public:
    explicit IntakeRig(std::string dataDir) : dataDir_(std::move(dataDir)) {
        ensureApplication();
        std::string error;
        const std::string port = portDir_.file("baza1");
        EXPECT_TRUE(base_.create(port, error)) << error;
        ports_.paths.push_back(port);
        station = std::make_unique<Station>(Station::Environment{
            DataDir(dataDir_), ui, clock, ports_, [] { return std::make_unique<QtSerialLine>(); },
            [](int) {}});
        EXPECT_EQ(station->start(), 0);
    }
    ~IntakeRig() { station->stop(); }

    // One tick of the station, 100 ms of its time.
    void tick() {
        station->tick();
        clock.advanceMs(100);
    }
    // The base sends the frame and waits a few ticks for its answer.
    Bytes send(const Bytes& frame, int ticks = 3) {
        EXPECT_TRUE(base_.write(frame));
        Bytes answer;
        for (int t = 0; t < ticks && answer.size() < 2; ++t) {
            tick();
            for (auto byte = base_.read(std::chrono::milliseconds(20)); byte; byte = base_.read(std::chrono::milliseconds(20)))
                answer.push_back(*byte);
        }
        return answer;
    }
    // As a base does: a report not accepted stays in its buffer and is sent
    // again, here up to a number of attempts.
    bool sendUntilAccepted(const Bytes& frame, int attempts) {
        for (int i = 0; i < attempts; ++i)
            if (send(frame) == kAccepted) return true;
        return false;
    }
    int boxesSaying(const std::string& text) const {
        int n = 0;
        for (const BoxRequest& box : ui.boxes) n += box.text.find(text) != std::string::npos;
        return n;
    }

    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    std::unique_ptr<Station> station;

private:
    std::string dataDir_;
    test::TempDir portDir_;
    sim::PtyLink base_;
    ListedPorts ports_;
};

// The disk runs full while reports come: nothing is accepted that is not
// stored, the base repeats what was not accepted, the operator hears of it
// once, and once space is back the repeats are accepted. Every accepted
// report is in the history, exactly once.
TEST(StationIntake, FullDiskAcceptsNothingItCannotStoreAndResumesWhenSpaceIsBack) {
    test::SmallTmpfs disk(2 * 1024 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs of our own: " << disk.error();
    const std::string data = disk.path() + "/centrala";
    installReceivingCentre(data);
    IntakeRig rig(data);

    std::vector<int> accepted;
    auto report = [&](int sector, int attempts) {
        const bool ok = rig.sendUntilAccepted(reportFrame(1001, sector), attempts);
        if (ok) accepted.push_back(sector);
        return ok;
    };
    ASSERT_TRUE(report(1, 1));
    disk.fill();
    EXPECT_FALSE(report(2, 4)) << "a full disk takes no report, so none is accepted";
    EXPECT_FALSE(rig.station->intake().accepting());
    EXPECT_EQ(rig.boxesSaying("Brak miejsca na dysku - meldunki nie są przyjmowane"), 1);

    disk.free();
    EXPECT_TRUE(report(2, 20)) << "the base's repeat is accepted once the disk has room";
    EXPECT_TRUE(report(3, 1));
    EXPECT_EQ(rig.boxesSaying("meldunki nie są przyjmowane"), 1) << "one box for the episode";

    // A second episode is told again.
    disk.fill();
    EXPECT_FALSE(report(4, 2));
    disk.free();
    EXPECT_TRUE(report(4, 20));
    EXPECT_EQ(rig.boxesSaying("Brak miejsca na dysku - meldunki nie są przyjmowane"), 2);

    const auto history = readHistory(data);
    std::vector<int> logged;
    for (const HistoryEntry& e : history.reports) logged.push_back(e.sector & 0x0FFF);
    EXPECT_EQ(logged, accepted);
    EXPECT_EQ(accepted, (std::vector<int>{1, 2, 3, 4}));
}

// rm -r of the data directory under a running station: within a tick
// nothing more is accepted (the open files would take reports no start
// will ever read), and the operator is told.
TEST(StationIntake, DataDirectoryRemovedUnderARunningStationStopsAcceptanceAtOnce) {
    test::TempDir parent;
    const std::string data = parent.file("centrala");
    installReceivingCentre(data);
    IntakeRig rig(data);
    ASSERT_EQ(rig.send(reportFrame(1001, 1)), kAccepted);

    std::filesystem::remove_all(data);
    rig.tick();
    EXPECT_EQ(rig.boxesSaying("Katalog danych został usunięty - meldunki nie są przyjmowane"), 1);
    int acceptedAfter = 0;
    for (int sector = 2; sector < 6; ++sector) acceptedAfter += rig.send(reportFrame(1001, sector)) == kAccepted;
    EXPECT_EQ(acceptedAfter, 0);
    EXPECT_EQ(rig.boxesSaying("meldunki nie są przyjmowane"), 1);
}

// What a crash left in the journal (accepted, never processed) comes first
// at the next start, with the time it was received, and raises its alarm.
TEST(StationIntake, ReportAcceptedBeforeACrashIsProcessedAtStartWithItsReceiveTime) {
    test::TempDir data;
    installReceivingCentre(data.path());
    const test::ManualClock tenMinutesEarlier{1'780'000'000 - 600};
    const Stamp received = nowStamp(tenMinutesEarlier);
    {
        IntakeJournal journal(data.path());
        std::vector<JournalRecord> waiting;
        ASSERT_EQ(journal.open(waiting), StorageFault::None);
        const Bytes frame = reportFrame(1001, 3);
        int64_t offset = 0;
        ASSERT_EQ(journal.append(IntakeChannel::BaseFrame, kComPort2, received,
                                 Bytes(frame.begin() + 1, frame.end() - 2), offset),
                  StorageFault::None);
    }
    {
        IntakeRig rig(data.path());
        const auto history = readHistory(data.path());
        ASSERT_EQ(history.reports.size(), 1u);
        EXPECT_EQ(history.reports[0].time, received);
        EXPECT_EQ(history.reports[0].subscriber, 1001);
        EXPECT_EQ(history.reports[0].sector & 0x0FFF, 3);
        ASSERT_FALSE(history.all.empty());
        EXPECT_EQ(history.all.back().kindCode(), kStartOfWorkKind) << "the report comes before the start";
        EXPECT_EQ(rig.station->alarms().count(), 1);
        EXPECT_EQ(rig.station->alarms()[0].time, static_cast<uint32_t>(received));
        EXPECT_TRUE(rig.ui.boxes.empty());
    }
    EXPECT_EQ(data.read("odbior").size(), IntakeJournal::kHeaderSize);
    IntakeRig again(data.path());
    EXPECT_EQ(readHistory(data.path()).reports.size(), 1u) << "processed once";
}

} // namespace
} // namespace k4

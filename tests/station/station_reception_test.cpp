// The whole station on real pseudo-terminals: frames a receiving base sends
// become history entries and alarms, and the base gets its answer.
#include "shell/station.h"

#include "admin/installation.h"
#include "database/lines_list.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "database/subsystem_editing.h"
#include "history/history_reader.h"
#include "platform/qt_serial_line.h"
#include "processing/event_list.h"
#include "sim/base_scenario.h"
#include "sim/pty_link.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <sstream>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;
const Bytes kAccepted{0x0A, 0x0D};
const Bytes kRefused{0x0E, 0x0D};

// The station runs its serial lines inside an application, as it does for
// real; one for the whole test program.
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

// A subscriber of the test centre: subsystem 1 with sectors 1 to 4, and
// optionally an own event list and a rate limit.
struct TestSubscriber {
    int number;
    std::vector<LUT_ENTRY> ownList;
    int limit = 0;
    int hours = 0;
};

// A fresh installation in a temporary directory, its station on pseudo-
// terminals in place of the serial ports, time in the test's hand.
class StationRig {
public:
    // mode 2: base 1 on port 1 (COM2), base 2 on port 2 (COM1).
    // mode 3: the module bus on ports 1 and 2, base 1 on port 3 (COM3).
    explicit StationRig(int mode, uint8_t options = 0) {
        ensureApplication();
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        ConfigBlock& b = config.block();
        b.mode = static_cast<int16_t>(mode);
        b.options = options;
        const int lines = mode == 2 ? 2 : 3;
        if (mode == 2) {
            b.data_port = 1;
            b.base2_port = 2;
        } else {
            b.inter_port = 1;
            b.data_port = 2;
            b.base1_port = 3;
        }
        EXPECT_EQ(config.SaveConfig(1), 0);

        for (int i = 0; i < lines; ++i) {
            links.push_back(std::make_unique<sim::PtyLink>());
            const std::string path = tmp.file("port" + std::to_string(i + 1));
            EXPECT_TRUE(links.back()->create(path, error)) << error;
            ports.paths.push_back(path);
        }
        station = std::make_unique<Station>(Station::Environment{
            DataDir(tmp.path()), ui, clock, ports, [] { return std::make_unique<QtSerialLine>(); },
            [this](int status) { exitStatus = status; }});
        EXPECT_EQ(station->start(), 0);
        station->trace().setEnabled(true);
    }
    ~StationRig() {
        station->stop();
    }

    sim::PtyLink& base1() { return *links[station->config().mode == 2 ? 0 : 2]; }
    sim::PtyLink& base2() { return *links[1]; }

    void addSubscriber(const TestSubscriber& wanted) {
        SubscriberDatabase& db = station->database();
        Sbscrbr s(db, ByNumber{wanted.number});
        std::snprintf(s.record.name, sizeof s.record.name, "Abonent %d", wanted.number);
        {
            LinesList lines(db.files(), s.record.lines);
            ASSERT_EQ(NewSubsystem(lines, 1, "Parter"), 0);
            SectorsList sectors(lines);
            for (int sector = 1; sector <= 4; ++sector) ASSERT_EQ(NewSector(lines, sectors, sector, "CZ", "Czujka"), 0);
        }
        if (!wanted.ownList.empty()) {
            std::array<LUT_ENTRY, kListEntries> list{};
            std::copy(wanted.ownList.begin(), wanted.ownList.end(), list.begin());
            int32_t at = 0;
            ASSERT_EQ(db.file(DbFile::Alarmy).AppendRecord(at, list.data()), 0);
            s.record.alarm_list = at;
        }
        s.record.alarm_opts.limit = static_cast<uint16_t>(wanted.limit);
        s.record.alarm_opts.hours = static_cast<uint16_t>(wanted.hours);
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(db, station->indexes(), s.record, offset), kSubscriberSaved);
    }

    // The frame of one scenario line (see the simulator's scenario format).
    static Bytes frame(const std::string& step) {
        std::istringstream in(step + "\n");
        std::string error;
        auto steps = sim::parseBaseScenario(in, error);
        EXPECT_TRUE(steps && steps->size() == 1) << error;
        return steps && !steps->empty() ? steps->front().bytes : Bytes{};
    }

    // Puts the bytes on the base's line and lets the station tick until
    // the base has its answer (or a few ticks have gone by without one).
    Bytes send(sim::PtyLink& base, const Bytes& bytes, int ticks = 4) {
        EXPECT_TRUE(base.write(bytes));
        Bytes answer;
        for (int tick = 0; tick < ticks && answer.size() < 2; ++tick) {
            station->tick();
            for (auto byte = base.read(std::chrono::milliseconds(20)); byte;
                 byte = base.read(std::chrono::milliseconds(20)))
                answer.push_back(*byte);
        }
        return answer;
    }
    Bytes report(const std::string& step) { return send(base1(), frame(step)); }

    std::vector<HistoryEntry> reportEntries() const {
        std::vector<HistoryEntry> entries;
        readHistoryFile(tmp.file("logf"), [&](const HistoryEntry& e) {
            if (!e.isSystem() || e.kindCode() == 0x45) entries.push_back(e);
            return true;
        });
        return entries;
    }
    bool traced(const std::string& text) const {
        for (int slot = 0; slot < 256; ++slot)
            if (station->trace().line(slot).find(text) != std::string::npos) return true;
        return false;
    }

    test::TempDir tmp;
    test::ManualClock clock{1'780'000'000};
    test::ScriptedOperatorUi ui;
    ListedPorts ports;
    std::vector<std::unique_ptr<sim::PtyLink>> links;
    std::unique_ptr<Station> station;
    int exitStatus = -1;
};

TEST(StationReception, ReportsOfBothBasesBecomeEntriesAndAlarms) {
    StationRig rig(2);
    rig.addSubscriber({1001});

    EXPECT_EQ(rig.report("report 1001 130 1 3"), kAccepted);   // burglary, subsystem 1 zone 3
    EXPECT_EQ(rig.send(rig.base2(), rig.frame("report 4999 110 1 2")), kAccepted); // fire, unknown panel
    EXPECT_EQ(rig.report("report 1001 602 0 0"), kAccepted);   // periodic test: a plain report
    EXPECT_EQ(rig.report("report 1001 130 5 3"), kAccepted);   // subsystem 5 is not defined
    EXPECT_EQ(rig.report("report 1001 130 1 9"), kAccepted);   // nor is sector 9

    const auto entries = rig.reportEntries();
    ASSERT_EQ(entries.size(), 5u);
    struct Expected {
        int subscriber, subsystem, sector, mask, kind, flags;
    };
    // The path type of the serial base link is 7, its base number 0.
    const Expected expected[] = {
        {1001, 1, 3, 0, 0x7130, 0xC0},
        {4999, 1, 2, 0x1000, 0x7110, 0x00}, // nobody's event list: no class
        {1001, 0, 0, 0x4000, 0x7602, 0x00}, // the test names subsystem 0, which it has not
        {1001, 5, 3, 0x4000, 0x7130, 0xC0},
        {1001, 1, 9, 0x8000, 0x7130, 0xC0},
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        const HistoryEntry& e = entries[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(e.subscriber, expected[i].subscriber);
        EXPECT_EQ(e.subsystem, expected[i].subsystem);
        EXPECT_EQ(e.sector & 0x0FFF, expected[i].sector);
        EXPECT_EQ(e.sector & 0xF000, expected[i].mask);
        EXPECT_EQ(e.kind, expected[i].kind);
        EXPECT_EQ(e.code2, expected[i].kind & 0x0FFF);
        EXPECT_EQ(e.flags, expected[i].flags);
    }

    // Newest first: the two burglaries with bad places, the fire of the
    // unknown panel in class 15, the first burglary; the test raised none.
    AlarmsList& alarms = rig.station->alarms();
    ASSERT_EQ(alarms.count(), 4);
    EXPECT_EQ(alarms[3].subscriber, 1001);
    EXPECT_EQ(alarms[3].codeWord, codeWordOf(0x130, 12));
    EXPECT_EQ(alarms[3].sector, 3);
    EXPECT_EQ(alarms[3].path, -8);
    EXPECT_EQ(alarms[3].time, static_cast<uint32_t>(entries[0].time));
    EXPECT_EQ(alarms[2].subscriber, 4999);
    EXPECT_EQ(alarms[2].codeWord, codeWordOf(0x110, 15));
    EXPECT_TRUE(alarms[2].flags & AlarmRecord::kUnknownSubscriber);
    EXPECT_EQ(alarms[0].sector, 9);
    EXPECT_TRUE(rig.ui.boxes.empty());
}

TEST(StationReception, EveryBadFrameIsTracedAndTheNextOneReadNormally) {
    StationRig rig(2);
    rig.addSubscriber({1001});
    const Bytes good = StationRig::frame("report 1001 130 1 3");
    Bytes cut(good.begin(), good.begin() + 6);
    Bytes longFrame{0x0A, 159};
    Bytes badEnd = good;
    badEnd[badEnd.size() - 2] = 0x0C;
    Bytes unknownType = StationRig::frame("frame 19 01 02");
    Bytes noCr(good.begin(), good.end() - 2);
    Bytes noChecksum(good.begin(), good.end() - 1);

    struct Case {
        const char* name;
        Bytes bytes;
        Bytes answer;
        const char* trace;
    };
    const Case cases[] = {
        {"wrong checksum", StationRig::frame("badsum 1001 130 1 3"), kRefused, "odb -10"},
        {"frame cut in the middle", cut, {}, "odb -2"},
        {"length of 159", longFrame, {}, "odb -11"},
        {"no CR after the records", badEnd, {}, "odb -4"},
        {"the line falls silent before CR", noCr, {}, "odb -3"},
        {"the line falls silent before the checksum", noChecksum, {}, "odb -5"},
        {"link test", StationRig::frame("test"), kAccepted, nullptr},
        {"filler frame", StationRig::frame("filler"), kAccepted, nullptr},
        {"noise before nothing", {0x55, 0xAA, 0x01}, {}, "odbx 55"},
        {"unknown record type", unknownType, kAccepted, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.station->trace().clear();
        const size_t before = rig.reportEntries().size();
        EXPECT_EQ(rig.send(rig.base1(), c.bytes, 3), c.answer);
        if (c.trace) {
            EXPECT_TRUE(rig.traced(c.trace));
        }
        EXPECT_EQ(rig.reportEntries().size(), before) << "nothing processed as a report";
        EXPECT_EQ(rig.report("report 1001 130 1 3"), kAccepted) << "the next frame";
        EXPECT_EQ(rig.reportEntries().size(), before + 1);
    }
}

// A USB adapter pulled out: the station says so once, goes on ticking, and
// takes the base again when the adapter is back under the same name.
TEST(StationReception, BasePulledOutIsToldOnceAndTakenBackWhenItReturns) {
    StationRig rig(2);
    rig.addSubscriber({1001});
    ASSERT_EQ(rig.report("report 1001 130 1 3"), kAccepted);
    const std::string path = rig.ports.paths[0];
    rig.links[0].reset();
    for (int tick = 0; tick < 6; ++tick) rig.station->tick();
    auto told = [&] {
        int n = 0;
        for (const BoxRequest& box : rig.ui.boxes)
            n += box.text.find("Blokada RS bazy odbiorczej") != std::string::npos;
        return n;
    };
    EXPECT_EQ(told(), 1);

    rig.links[0] = std::make_unique<sim::PtyLink>();
    std::string error;
    ASSERT_TRUE(rig.links[0]->create(path, error)) << error;
    EXPECT_EQ(rig.send(*rig.links[0], StationRig::frame("report 1001 130 1 4"), 6), kAccepted);
    EXPECT_EQ(rig.reportEntries().size(), 2u);
    EXPECT_EQ(told(), 1);
}

TEST(StationReception, RepeatedAlarmWithinAMinuteIsLoggedButNotRaisedAgain) {
    StationRig rig(2, kOptBlockRepeatedAlarms);
    rig.addSubscriber({1001});
    EXPECT_EQ(rig.report("report 1001 130 1 3"), kAccepted);
    rig.clock.advanceSeconds(59);
    EXPECT_EQ(rig.report("report 1001 130 1 3"), kAccepted);
    EXPECT_EQ(rig.station->alarms().count(), 1);
    rig.clock.advanceSeconds(2);
    EXPECT_EQ(rig.report("report 1001 130 1 3"), kAccepted);
    EXPECT_EQ(rig.station->alarms().count(), 2);
    EXPECT_EQ(rig.reportEntries().size(), 3u);
}

TEST(StationReception, BlockadesOwnListsLastReportsAndTheRateLimiterOnModeThree) {
    StationRig rig(3);
    // 0x131 reads as a burglary forced to sector 4 in class 13; 0x199 is
    // not in the list at all.
    rig.addSubscriber({1001, {LUT_ENTRY::make(0x131, 0x130, 13, true, 4, true)}});
    rig.addSubscriber({1002});
    rig.addSubscriber({1003});
    rig.addSubscriber({1004});
    rig.addSubscriber({1005, {}, 2, 1});
    BlockLst& blockades = rig.station->blockades();
    ASSERT_EQ(blockades.add(1002, 11), 0);
    ASSERT_EQ(blockades.add(1003, 12), 0);
    ASSERT_EQ(blockades.add(1004, 10), 0);
    AlarmsList& alarms = rig.station->alarms();

    struct Case {
        const char* step;
        size_t entries;   // history entries of reports so far
        int alarms;       // alarms in the list so far
        int kind, flags, sectorWord;  // of the newest entry
    };
    const Case cases[] = {
        {"report 1001 131 1 3", 1, 1, 0x7130, 0xD0, 4},
        {"report 1001 199 1 3", 2, 2, 0x7199, 0x00, 0x2003},
        {"report 1002 130 1 3", 2, 2, 0x7199, 0x00, 0x2003}, // subscriber blocked: nothing at all
        {"report 1003 130 1 3", 3, 2, 0x7130, 0xC2, 3},      // alarms blocked: "# BLOKADA"
        // Subsystem 93: a last report of subsystem 3, which 1003 has not;
        // it still raises, in class 15.
        {"report 1003 130 5D 3", 4, 3, 0x7130, 0xCA, 0x4003},
        {"report 1004 130 1 3", 5, 4, 0x7130, 0xC0, 3},      // incomplete reports only: as usual
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        EXPECT_EQ(rig.report(c.step), kAccepted);
        const auto entries = rig.reportEntries();
        ASSERT_EQ(entries.size(), c.entries);
        EXPECT_EQ(alarms.count(), c.alarms);
        EXPECT_EQ(entries.back().kind, c.kind);
        EXPECT_EQ(entries.back().flags, c.flags);
        EXPECT_EQ(entries.back().sector, c.sectorWord);
    }
    EXPECT_EQ(rig.reportEntries()[0].code2, 0x131) << "the code as received stays beside the translation";
    EXPECT_EQ(alarms[3].codeWord, codeWordOf(0x130, 13));
    EXPECT_EQ(alarms[3].sector, 4);
    EXPECT_EQ(alarms[3].origCode(), 0x131);
    EXPECT_EQ(alarms[3].origSector, 3);
    EXPECT_TRUE(alarms[2].flags & AlarmRecord::kUnknownEvent);
    EXPECT_EQ(alarms[2].colour(), 15);
    EXPECT_EQ(alarms[1].subsystem, 93);
    EXPECT_EQ(alarms[1].colour(), 15);

    // Two reports an hour: the third in the window brings the alarm-counter
    // event right behind it... except from the serial base link, whose
    // frames do not ask for it; the limiter still restarts its window.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(rig.report("report 1005 602 0 0"), kAccepted);
    Sbscrbr limited(rig.station->database(), ByNumber{1005});
    EXPECT_EQ(limited.record.alarm_opts.count, 1);
}

} // namespace
} // namespace k4

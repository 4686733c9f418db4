// The arming supervision of a whole station from a fresh installation:
// a schedule saved by the operator is watched at once (and noted), arming
// reports out of their window become the centre's own reports with their
// alarms, and a station started again in the middle of a window still
// misses the arming at the window's end.
#include "shell/station.h"

#include "admin/installation.h"
#include "database/sbscrbr.h"
#include "database/stamp.h"
#include "database/subscriber_saving.h"
#include "database/subsys_lst.h"
#include "history/history_reader.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

// The module bus lines are there, with nothing answering on them.
struct ListedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/k4-interface", "/dev/k4-data"}; }
};

int64_t at(int y, int mo, int d, int h, int mi) {
    LocalDateTime l;
    l.year = y, l.month = mo, l.day = d, l.hour = h, l.minute = mi;
    return UnixFromStamp(StampFromLocal(l));
}

constexpr int kArming = -1;
constexpr int kDisarming = -2;

struct ArmingStation {
    test::TempDir tmp;
    test::ManualClock clock{at(2026, 6, 1, 5, 0)}; // a Monday morning
    test::ScriptedOperatorUi ui;
    ListedPorts ports;
    std::unique_ptr<Station> station;

    ArmingStation() {
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 0;
        config.block().inter_port = 1;
        config.block().data_port = 2;
        EXPECT_EQ(config.SaveConfig(1), 0);
    }
    ~ArmingStation() {
        if (station) station->stop();
    }
    void start() {
        station = std::make_unique<Station>(Station::Environment{
            DataDir(tmp.path()), ui, clock, ports, [this] { return std::make_unique<test::FakeSerialLine>(&clock); },
            [](int) {}});
        ASSERT_EQ(station->start(), 0);
    }
    void restart() {
        station->stop();
        station.reset();
        start();
    }
    // Office hours on position 1 (panel subsystem 1), saved as the card
    // saves a subscriber whose schedule changed.
    void addOfficeHours(int number) {
        Sbscrbr s(station->database(), ByNumber{number});
        std::snprintf(s.record.name, sizeof s.record.name, "Abonent %d", number);
        {
            SubsysLst plans(station->database().files(), s.record.arm_plans);
            ASSERT_TRUE(plans.usable());
            for (int d = 0; d < 8; ++d) plans.schedule().days[d] = {7 * 60, 30, 16 * 60, 60, 0};
            ASSERT_EQ(plans.SavePosition(1, static_cast<uint8_t>(kPanelSubsystemBit | 1)), 0);
        }
        s.record.arm_mask = 0x0002;
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
        Sbscrbr saved(station->database(), ByNumber{number});
        station->arming().armingChanged(saved);
    }
    // What report processing hands on for an arming (-1) or disarming (-2)
    // report of panel subsystem 1 that came over a path.
    void report(int number, int arm) {
        Sbscrbr s(station->database(), ByNumber{number});
        EXPECT_EQ(station->arming().updateArming(s, arm, 1, 1), 0);
    }
    void passUntil(int64_t t) {
        while (clock.unixTime() < t) {
            clock.advanceSeconds(std::min<int64_t>(60, t - clock.unixTime()));
            for (int i = 0; i < 4; ++i) station->tick();
        }
    }
    int reports(int subscriber, int code) const {
        int n = 0;
        readHistoryFile(tmp.file("logf"), [&](const HistoryEntry& e) {
            if (!e.isSystem() && e.subscriber == subscriber && e.kindCode() == code) ++n;
            return true;
        });
        return n;
    }
    int notes(int kind, int value) const {
        int n = 0;
        readHistoryFile(tmp.file("logf"), [&](const HistoryEntry& e) {
            if (e.isSystem() && e.kindCode() == kind && e.subscriber == value) ++n;
            return true;
        });
        return n;
    }
};

TEST(ArmingStation, OutOfWindowReportsAlarmsAndAMissedArmingAcrossARestart) {
    ArmingStation rig;
    rig.start();
    rig.addOfficeHours(2001);
    rig.addOfficeHours(2002);
    EXPECT_EQ(rig.notes(kHistoryArmingChanged, 2001), 1);
    ASSERT_TRUE(rig.station->scheduler().exists(2001, kSchedCheckArm, armingArg(1, kPhaseDisarmStart)));

    // 2001 disarms in time; 2002 an hour early: "BŁĘDNE WYŁĄCZENIE".
    rig.passUntil(at(2026, 6, 1, 6, 0) + 60);
    rig.report(2002, kDisarming);
    rig.passUntil(at(2026, 6, 1, 7, 10));
    rig.report(2001, kDisarming);
    EXPECT_EQ(rig.reports(2002, 0xF08), 1);
    EXPECT_EQ(rig.reports(2001, 0xF08), 0);
    rig.passUntil(at(2026, 6, 1, 7, 31));
    EXPECT_EQ(rig.notes(kHistoryNotDisarmed, 2001) + rig.notes(kHistoryNotDisarmed, 2002), 0);

    // 2002 arms before its window: "ZAŁ. PRZED CZASEM" at once.
    rig.passUntil(at(2026, 6, 1, 15, 0));
    rig.report(2002, kArming);
    EXPECT_EQ(rig.reports(2002, 0xF02), 1);

    // The station is stopped and started again inside the window; 2001
    // never arms: "BRAK ZAŁĄCZENIA" when the window closes at 17:00. 2002
    // was armed when the station came up in the window, which counts as in
    // time: no note of an early arming for this window.
    rig.passUntil(at(2026, 6, 1, 16, 20));
    rig.restart();
    EXPECT_TRUE(rig.station->scheduler().exists(2001, kSchedDelay, armingArg(1, kPhaseArmEnd)));
    rig.passUntil(at(2026, 6, 1, 16, 59));
    EXPECT_EQ(rig.reports(2001, 0xF03), 0);
    rig.passUntil(at(2026, 6, 1, 17, 2));
    EXPECT_EQ(rig.reports(2001, 0xF03), 1);
    EXPECT_EQ(rig.reports(2002, 0xF03), 0);
    EXPECT_EQ(rig.notes(kHistoryArmedBeforeWindow, 2002), 0);
    EXPECT_GT(rig.station->alarms().count(), 0);
    Sbscrbr s(rig.station->database(), ByNumber{2001});
    EXPECT_EQ(s.record.arm_state[1] & (kArmStateAwaitingArming | kArmStateArmed), 0);
}

} // namespace
} // namespace k4

#include "processing/alarms_list.h"

#include "support/history_rig.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

struct Observer final : AlarmListObserver {
    std::vector<std::string> events;
    void alarmRaised() override { events.push_back("raised"); }
    void alarmRemoved(int index) override { events.push_back("removed " + std::to_string(index)); }
    void alarmChanged(int index) override { events.push_back("changed " + std::to_string(index)); }
};

struct Sound final : AlarmSoundControl {
    std::vector<std::string> calls;
    void playSound(int c) override { calls.push_back("play " + std::to_string(c)); }
    void stopSound() override { calls.push_back("stop"); }
    void resumeAlarmSound(bool now) override { calls.push_back(now ? "resume now" : "resume"); }
};

struct AlarmsListTest : ::testing::Test, test::HistoryRig {
    ConfigBlock config{};
    AlarmsList alarms{config, history};
    Observer observer;
    Sound sound;

    AlarmsListTest() {
        EXPECT_GE(history.OpenHistory("logf"), 0);
        alarms.setObserver(&observer);
        alarms.setSound(&sound);
    }
    std::vector<HistoryEntry> entries() const {
        const std::string bytes = dir.read("logf");
        std::vector<HistoryEntry> out;
        for (size_t at = kHistoryHeaderSize; at + kHistoryEntrySize <= bytes.size(); at += kHistoryEntrySize) {
            HistoryEntry e;
            std::memcpy(&e, bytes.data() + at, sizeof e);
            out.push_back(e);
        }
        return out;
    }
};

AlarmRecord alarmOf(int subscriber, int code, int colour, uint32_t time) {
    AlarmRecord a;
    a.subscriber = static_cast<int16_t>(subscriber);
    a.subsystem = 1;
    a.codeWord = codeWordOf(code, colour);
    a.sector = 5;
    a.time = time;
    return a;
}

TEST_F(AlarmsListTest, SixtyFiveAlarmsEndTheOldest) {
    for (int i = 0; i < 64; ++i) EXPECT_TRUE(alarms.insert(alarmOf(100 + i, 0x130, 3, 1000)));
    EXPECT_TRUE(entries().empty());
    EXPECT_FALSE(alarms.insert(alarmOf(999, 0x130, 3, 1000)));
    EXPECT_EQ(alarms.count(), 64);
    EXPECT_EQ(alarms[0].subscriber, 999);
    EXPECT_EQ(alarms[63].subscriber, 101);
    const auto logged = entries();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].kindCode(), kHistoryServiceEnd);
    EXPECT_EQ(logged[0].subscriber, 100);
}

TEST_F(AlarmsListTest, IdentifiersWrapSkippingZeroAndThoseInUse) {
    alarms.insert(alarmOf(1, 0x130, 3, 0)); // id 1 stays in the list
    std::vector<int> ids;
    for (int i = 0; i < 300; ++i) {
        alarms.insert(alarmOf(2, 0x130, 3, 0));
        ids.push_back(alarms[0].id);
        alarms.remove(0);
    }
    for (int id : ids) {
        EXPECT_NE(id, 0);
        EXPECT_NE(id, 1);
    }
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[253], 255);
    EXPECT_EQ(ids[254], 2) << "after 255 the counter wraps past 0 and 1";
    int index = -1;
    EXPECT_EQ(alarms.findById(1, &index)->subscriber, 1);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(alarms.findById(77, &index), nullptr);
    EXPECT_EQ(index, -1);
}

TEST_F(AlarmsListTest, RepeatedAlarmsWithinAMinuteAreDroppedWhenBlocked) {
    config.tones[3][6] = config.tones[4][6] = 84; // both repeat: no hand-back
    EXPECT_EQ(alarms.raiseAlarm(alarmOf(7, 0x130, 3, 1000), 3), 0);
    EXPECT_EQ(alarms.raiseAlarm(alarmOf(7, 0x130, 3, 1059), 3), 0) << "option off: every report is an alarm";
    config.options = kOptBlockRepeatedAlarms;
    EXPECT_EQ(alarms.raiseAlarm(alarmOf(7, 0x130, 3, 1118), 3), -1) << "59 s after the last";
    EXPECT_EQ(alarms.raiseAlarm(alarmOf(7, 0x130, 4, 1118), 4), 0) << "another colour class is another alarm";
    EXPECT_EQ(alarms.raiseAlarm(alarmOf(7, 0x130, 3, 1119 + 60), 3), 0);
    EXPECT_EQ(alarms.count(), 4);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"play 3", "play 3", "play 4", "play 3"}));
    EXPECT_EQ(observer.events.size(), 4u);
    EXPECT_EQ(alarms.raisedCount(), 4);
}

TEST_F(AlarmsListTest, ServiceIsLoggedOnceAndItsStepsAtTheEnd) {
    AlarmRecord hex = alarmOf(0x12A4, 0x302, 9, 1000);
    hex.flags = AlarmRecord::kHexSubscriber;
    alarms.insert(alarmOf(42, 0x130, 3, 1000));
    alarms.insert(hex);
    alarms.enterService(0, true);
    alarms.enterService(0, false);
    alarms[0].service = 0xA5;
    alarms.remove(0); // in service, with steps
    alarms.remove(0); // never opened: no steps
    const auto logged = entries();
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_EQ(logged[0].kindCode(), kHistoryServiceStart);
    EXPECT_EQ(logged[0].flags, HistoryEntry::kEntrySystem | HistoryEntry::kEntryHexNumber);
    EXPECT_EQ(static_cast<uint16_t>(logged[0].subscriber), 0x12A4);
    EXPECT_EQ(logged[0].subsystem, 1);
    EXPECT_EQ(logged[0].sector & 0x0FFF, 5);
    EXPECT_EQ(logged[0].code2 & 0x0FFF, 0x302);

    EXPECT_EQ(logged[1].kindCode(), kHistoryServiceEnd);
    EXPECT_EQ(logged[1].kind >> 12, 0xA) << "steps 4-7 above the kind";
    EXPECT_EQ(logged[1].code2 >> 12, 0x5) << "steps 0-3 above code2";
    EXPECT_EQ(logged[1].code2 & 0x0FFF, 0x302);

    EXPECT_EQ(logged[2].kindCode(), kHistoryServiceEnd);
    EXPECT_EQ(logged[2].subscriber, 42);
    EXPECT_EQ(logged[2].kind >> 12, 0);
    EXPECT_EQ(logged[2].code2, 0x130);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop", "resume now", "stop"}));
    EXPECT_EQ(alarms.count(), 0);
    alarms.remove(0); // an empty list: nothing happens
    EXPECT_EQ(entries().size(), 3u);
}

TEST_F(AlarmsListTest, FirstNewAlarmIsTheNewestNotInService) {
    EXPECT_EQ(alarms.firstNew(), -1);
    alarms.insert(alarmOf(1, 0x130, 3, 0));
    alarms.insert(alarmOf(2, 0x130, 3, 0));
    alarms.enterService(0, false);
    EXPECT_EQ(alarms.firstNew(), 1);
}

} // namespace
} // namespace k4

#include "signals/alarm_sounds.h"

#include "database/text_edge.h"
#include "support/history_rig.h"
#include "support/recording_sound_player.h"

#include <gtest/gtest.h>

#include <fstream>

namespace k4 {
namespace {

AlarmRecord alarmOfClass(int cls, int subscriber, uint32_t time) {
    AlarmRecord a;
    a.subscriber = static_cast<int16_t>(subscriber);
    a.codeWord = static_cast<uint16_t>((cls << 12) | 0x130);
    a.origCodeWord = a.codeWord;
    a.time = time;
    return a;
}

void touch(const std::string& path) { std::ofstream(path) << "RIFF"; }

struct AlarmSoundsTest : ::testing::TestWithParam<bool>, test::HistoryRig {
    ConfigBlock config{};
    AlarmsList alarms{config, history};
    SoundFiles files{dir.path() + "/sounds"};
    test::RecordingSoundPlayer player{GetParam()};
    AlarmSounds sounds{config, files, player, messages, dir.path()};

    void SetUp() override {
        ASSERT_GE(history.OpenHistory("logf"), 0);
        alarms.setSound(&sounds);
        sounds.setAlarms(&alarms);
        messages.setAlarmSound(&sounds);
        // Class 2 repeats, class 5 plays once, class 7 has no tone at all.
        const uint8_t repeating[7] = {84, 24, 1, 10, 84, 24, 90};
        const uint8_t once[7] = {84, 24, 1, 10, 84, 24, 0};
        std::copy(repeating, repeating + 7, config.tones[2]);
        std::copy(once, once + 7, config.tones[5]);
        std::copy(once, once + 7, config.tones[0]);
        for (int c : {0, 2, 5, 7}) {
            const std::string name = "al" + std::to_string(c) + ".wav";
            files.setSlot(c, name);
            touch(dir.path() + "/" + name);
        }
    }
    bool filesBackEnd() const { return GetParam(); }
};

TEST_P(AlarmSoundsTest, NewAlarmsSoundAndAOnceSoundHandsBackToTheWaitingContinuousOne) {
    alarms.raiseAlarm(alarmOfClass(2, 1, 1000), 2);
    alarms.raiseAlarm(alarmOfClass(5, 2, 1010), 5);
    alarms.raiseAlarm(alarmOfClass(7, 3, 1020), 7);
    if (filesBackEnd()) {
        EXPECT_EQ(player.calls, (std::vector<std::string>{
                                    "file al2.wav repeat",
                                    "file al5.wav once", "file al2.wav repeat",
                                    // a class without a tone still plays its file
                                    "file al7.wav once", "file al2.wav repeat"}));
    } else {
        EXPECT_EQ(player.calls, (std::vector<std::string>{
                                    "tones 840/240 10/100 840/240 then 900",
                                    "tones 840/240 10/100 840/240", "continuous 900",
                                    "continuous 900"}));
    }
}

TEST_P(AlarmSoundsTest, ADuplicateThatTheListDropsMakesNoSound) {
    config.options = kOptBlockRepeatedAlarms;
    alarms.raiseAlarm(alarmOfClass(2, 1, 1000), 2);
    player.calls.clear();
    EXPECT_EQ(alarms.raiseAlarm(alarmOfClass(2, 1, 1030), 2), -1);
    EXPECT_TRUE(player.calls.empty());
}

TEST_P(AlarmSoundsTest, ServicingStopsAndTheNextWaitingAlarmSoundsNotTheServicedOne) {
    alarms.raiseAlarm(alarmOfClass(5, 1, 1000), 5);
    alarms.raiseAlarm(alarmOfClass(2, 2, 1010), 2);
    player.calls.clear();
    alarms[0].flags |= AlarmRecord::kInService; // the class-2 alarm is taken
    sounds.stopSound();
    sounds.resumeAlarmSound(false);
    if (filesBackEnd())
        EXPECT_EQ(player.calls, (std::vector<std::string>{"end repeat", "file al5.wav once"}));
    else
        EXPECT_EQ(player.calls, (std::vector<std::string>{"silence", "continuous 0"}));
    player.calls.clear();
    sounds.resumeAlarmSound(true);
    EXPECT_TRUE(player.calls.empty()) << "class 5 has no continuous part";
}

TEST_P(AlarmSoundsTest, AnAlarmStyleBoxSoundsTheErrorSignalAndResumesWhenClosed) {
    alarms.raiseAlarm(alarmOfClass(2, 1, 1000), 2);
    player.calls.clear();
    messages.ShowNotice(mz("Brak linii"), kNoticeAlarm);
    if (filesBackEnd())
        EXPECT_EQ(player.calls, (std::vector<std::string>{"file al0.wav once", "end repeat",
                                                          "file al2.wav repeat"}));
    else
        EXPECT_EQ(player.calls, (std::vector<std::string>{"tones 840/240 10/100 840/240",
                                                          "silence", "continuous 900"}));
}

TEST_P(AlarmSoundsTest, SpaceStopsWhatPlaysAtOnceAndNothingResumes) {
    alarms.raiseAlarm(alarmOfClass(2, 1, 1000), 2);
    player.calls.clear();
    sounds.silenceNow();
    EXPECT_EQ(player.calls, (std::vector<std::string>{"silence"}));
    // The next alarm sounds again, and hands back to the waiting one.
    alarms.raiseAlarm(alarmOfClass(5, 2, 1010), 5);
    EXPECT_EQ(player.calls.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, AlarmSoundsTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Files" : "Tones"; });

struct MissingFileTest : ::testing::Test, test::HistoryRig {};

TEST_F(MissingFileTest, AMissingFileIsToldOnceAndLeavesTheTableAndTheSoundsFile) {
    ConfigBlock config{};
    config.tones[4][0] = 84;
    SoundFiles files{dir.path() + "/sounds"};
    files.setSlot(4, "gone.wav");
    files.setSlot(6, "BLIP0001.WAV");
    files.save();
    test::RecordingSoundPlayer player{true};
    AlarmSounds sounds{config, files, player, messages, dir.path()};

    sounds.playSound(4);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Brak podanego pliku - wpis zostanie usunięty");
    sounds.playSound(4);
    EXPECT_EQ(ui.boxes.size(), 1u) << "the slot is empty now: silent";
    EXPECT_EQ(player.calls, (std::vector<std::string>{"missing gone.wav"}));

    SoundFiles reloaded{dir.path() + "/sounds"};
    reloaded.load();
    EXPECT_EQ(reloaded.slot(4), "");
    EXPECT_EQ(reloaded.slot(6), "BLIP0001.WAV") << "a 12-character name survives save and load";
}

TEST(SoundFilesTest, AMissingFileGivesEmptySlotsAndLongNamesAreRefused) {
    SoundFiles files{"/nonexistent/dir/sounds"};
    files.load();
    for (int c = 0; c < SoundFiles::kCategories; ++c) EXPECT_EQ(files.slot(c), "");
    EXPECT_FALSE(files.save());
    EXPECT_TRUE(files.setSlot(1, "fifteen_chars.w"));
    EXPECT_FALSE(files.setSlot(1, "sixteen_chars.wa"));
    EXPECT_EQ(files.slot(1), "fifteen_chars.w");
}

} // namespace
} // namespace k4

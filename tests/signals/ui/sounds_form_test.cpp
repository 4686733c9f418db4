#include "signals/ui/sounds_form.h"

#include "support/history_rig.h"
#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTreeWidget>

#include <fstream>

namespace k4 {
namespace {

struct RecordingSounds final : AlarmSoundControl {
    std::vector<int> played;
    void playSound(int c) override { played.push_back(c); }
    void stopSound() override {}
    void resumeAlarmSound(bool) override {}
};

struct SoundsFormTest : ::testing::Test, test::HistoryRig {
    Config config{DataDir(dir.path())};
    SoundFiles files{dir.path() + "/sounds"};
    RecordingSounds sounds;
    void SetUp() override {
        test::qtApp();
        std::ofstream(dir.path() + "/conf", std::ios::binary) << std::string(sizeof(ConfigBlock), '\0');
        config.block().tones[3][6] = 84;
        files.setSlot(3, "alarm03.wav");
    }
};

TEST_F(SoundsFormTest, FileBackEndListsFilesChoosesOneAndStoresGrajRaz) {
    TSoundsForm form(config, files, sounds, messages, true, dir.path(), [](int) { return 0xFF0000u; });
    EXPECT_EQ(form.windowTitle(), "Dźwięki");
    ASSERT_EQ(form.list->topLevelItemCount(), 16);
    EXPECT_EQ(form.list->topLevelItem(0)->text(0), "Sygnał błędu");
    EXPECT_EQ(form.list->topLevelItem(3)->text(0), "Alarm");
    EXPECT_EQ(form.list->topLevelItem(3)->text(1), "alarm03.wav");
    EXPECT_EQ(form.list->topLevelItem(3)->checkState(2), Qt::Unchecked) << "repeats";
    EXPECT_EQ(form.list->topLevelItem(4)->checkState(2), Qt::Checked);

    form.chooseFile = [](const QString&) { return std::string("nowy.wav"); };
    form.lineDoubleClicked(5);
    EXPECT_EQ(sounds.played, std::vector<int>{5});
    SoundFiles saved{dir.path() + "/sounds"};
    saved.load();
    EXPECT_EQ(saved.slot(5), "nowy.wav");
    form.chooseFile = [](const QString&) { return std::string("a_name_too_long.wav"); };
    form.lineDoubleClicked(6);
    EXPECT_EQ(files.slot(6), "") << "longer than a slot: refused";

    form.list->topLevelItem(3)->setCheckState(2, Qt::Checked);
    form.list->topLevelItem(4)->setCheckState(2, Qt::Unchecked);
    form.Button1Click();
    EXPECT_EQ(config.block().tones[3][6], 0);
    EXPECT_EQ(config.block().tones[4][6], 84);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SoundsFormTest, ToneBackEndShowsTheProfileBytesAndTheEditorStoresThem) {
    TSoundsForm form(config, files, sounds, messages, false, dir.path(), nullptr);
    EXPECT_EQ(form.list->topLevelItem(3)->text(1), " 0   0   0   0   0   0  84");
    TSoundForm editor(config, messages, 3, nullptr);
    EXPECT_EQ(editor.windowTitle(), "Dźwięki alarmu");
    editor.fields[0]->setText("84");
    editor.fields[1]->setText("24");
    editor.fields[2]->setText("1");
    editor.fields[3]->setText("10");
    editor.fields[4]->clear();
    editor.fields[5]->clear();
    editor.fields[6]->setText("0");
    editor.SaveBtnClick();
    const uint8_t expected[7] = {84, 24, 1, 10, 84, 24, 0};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(config.block().tones[3][i], expected[i]) << i;
    Config reloaded{DataDir(dir.path())};
    ASSERT_EQ(reloaded.LoadConfig(1), 0);
    EXPECT_EQ(reloaded.block().tones[3][4], 84) << "saved";
}

} // namespace
} // namespace k4

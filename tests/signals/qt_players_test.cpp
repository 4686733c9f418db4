// The real Qt Multimedia back ends over the station's own WAV files. The
// machine under test may or may not have a sound card: the back ends must
// load the files either way and, without an output, say so once and go on.
#include "signals/default_sounds.h"
#include "signals/qt_file_player.h"
#include "signals/qt_tone_player.h"

#include "support/temp_dir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <fstream>

namespace k4 {
namespace {

QCoreApplication& coreApp() {
    static int argc = 1;
    static char name[] = "kestrel4-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                                 : new QCoreApplication(argc, argv);
    return *app;
}

struct QtPlayersTest : ::testing::Test {
    test::TempDir dir;
    std::vector<std::string> told;
    void SetUp() override {
        coreApp();
        std::string error;
        ASSERT_TRUE(writeDefaultSounds(dir.path(), error)) << error;
        std::ofstream(dir.path() + "/notes.wav") << "this is not a sound";
    }
    void spin() {
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    }
};

TEST_F(QtPlayersTest, FileBackEndWithoutOutputKeepsItsFilesAndTellsOnce) {
    QtFilePlayer player(false);
    player.failure().setTeller([this](const std::string& w) { told.push_back(w); });
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ(player.playFile(dir.path() + "/" + defaultSoundName(c), true),
                  SoundPlayer::FileResult::Failed)
            << "a present file is never reported missing for want of a sound card";
    EXPECT_EQ(player.playFile(dir.path() + "/gone.wav", false), SoundPlayer::FileResult::Missing);
    EXPECT_EQ(player.playFile(dir.path() + "/notes.wav", false), SoundPlayer::FileResult::Missing);
    player.endRepeat();
    player.silence();
    spin();
    EXPECT_EQ(told, (std::vector<std::string>{"brak wyjścia dźwięku: alarmy są ciche"}));
}

TEST_F(QtPlayersTest, FileBackEndOnThisMachinePlaysOrFailsGracefully) {
    QtFilePlayer player; // whatever this machine offers
    player.failure().setTeller([this](const std::string& w) { told.push_back(w); });
    const auto result = player.playFile(dir.path() + "/" + defaultSoundName(3), true);
    EXPECT_NE(result, SoundPlayer::FileResult::Missing);
    if (result == SoundPlayer::FileResult::Started) EXPECT_EQ(player.repeatMark(), 2);
    spin();
    player.endRepeat();
    EXPECT_EQ(player.repeatMark(), 0) << "the current playback is the last";
    player.playFile(dir.path() + "/" + defaultSoundName(4), false);
    spin();
    player.silence();
    EXPECT_LE(told.size(), 1u);
}

TEST_F(QtPlayersTest, ToneBackEndWithOrWithoutOutputNeverBlocksAndTellsAtMostOnce) {
    for (bool present : {false, audioOutputPresent()}) {
        told.clear();
        QtTonePlayer player(present);
        player.failure().setTeller([this](const std::string& w) { told.push_back(w); });
        player.playTones({Tone{840, 240}, Tone{10, 100}, Tone{840, 240}}, 840);
        player.startContinuous(900);
        spin();
        player.silence();
        EXPECT_LE(told.size(), 1u);
        if (!present) EXPECT_EQ(told.size(), 1u);
    }
}

} // namespace
} // namespace k4

#include "signals/default_sounds.h"
#include "signals/sound_files.h"
#include "signals/tone_profile.h"
#include "signals/tone_wave.h"
#include "signals/wav_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

// Counts the level changes of a stretch of samples and whether it is silent.
struct Stretch {
    int flips = 0;
    bool silent = true;
};
Stretch look(const std::vector<int16_t>& s, size_t from, size_t to) {
    Stretch r;
    for (size_t i = from; i < to; ++i) {
        if (s[i] != 0) r.silent = false;
        if (i > from && s[i] != s[i - 1]) ++r.flips;
    }
    return r;
}

TEST(ToneWaveTest, BeepPauseBeepOfTheProfileBytes) {
    ConfigBlock config{};
    const uint8_t bytes[7] = {84, 24, 1, 10, 84, 24, 0};
    std::copy(bytes, bytes + 7, config.tones[3]);
    const ToneProfile p = ToneProfile::of(config, 3);
    EXPECT_FALSE(p.continuous());
    const auto samples = toneSequence(p.tones(), 10000);
    ASSERT_EQ(samples.size(), 2400u + 1000u + 2400u) << "240 ms, 100 ms, 240 ms at 10 kHz";
    const Stretch beep = look(samples, 0, 2400);
    EXPECT_FALSE(beep.silent);
    EXPECT_NEAR(beep.flips, 2 * 840 * 240 / 1000, 2) << "840 Hz: two flips a period";
    EXPECT_TRUE(look(samples, 2400, 3400).silent) << "10 Hz is a pause";
    EXPECT_EQ(look(samples, 3400, 5800).flips, beep.flips);
}

TEST(WavFileTest, WrittenFilesReadBackAndOtherBytesAreRefused) {
    const std::string wav = wavBytes({1, -1, 2, -2}, 8000);
    WavInfo info;
    ASSERT_TRUE(readWavInfo(wav, info));
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 8000);
    EXPECT_EQ(info.bitsPerSample, 16);
    EXPECT_EQ(info.dataBytes, 8u);
    const std::string notSound[] = {"", "RIFF", std::string("RIFF\x10\0\0\0WAVEfmt ", 16),
                                    wav.substr(0, 30), "plain text, not a sound at all......."};
    for (const std::string& bytes : notSound) EXPECT_FALSE(readWavInfo(bytes, info)) << bytes.size();
}

TEST(DefaultSoundsTest, SixteenFilesNamedInSounds) {
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(writeDefaultSounds(dir.path(), error)) << error;
    SoundFiles files(dir.path() + "/sounds");
    files.load();
    for (int c = 0; c < SoundFiles::kCategories; ++c) {
        EXPECT_EQ(files.slot(c), defaultSoundName(c));
        WavInfo info;
        EXPECT_TRUE(readWavFileInfo(dir.path() + "/" + files.slot(c), info)) << c;
        EXPECT_GT(info.dataBytes, 0u);
    }
    EXPECT_NE(defaultSoundWav(1), defaultSoundWav(2)) << "each class has its own pitch";
}

} // namespace
} // namespace k4

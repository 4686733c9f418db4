#include "signals/sound_settings.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(SoundSettingsTest, ToneFieldsWithDefaultsForEmptyOrInvalidOnes) {
    ConfigBlock config{};
    EXPECT_TRUE(storeToneFields(config, 5, {"84", "24", " 1", "10", "", "x", "0"}));
    const uint8_t expected[7] = {84, 24, 1, 10, 84, 24, 0};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(config.tones[5][i], expected[i]) << i;
    EXPECT_FALSE(storeToneFields(config, 5, {"84", "24", "1_", "10", "84", "24", "0"})) << "nothing changed";
    EXPECT_EQ(toneProfileLine(config, 5), "84  24   1  10  84  24   0");
}

TEST(SoundSettingsTest, PlayOnceTicksSetTheContinuousByte) {
    ConfigBlock config{};
    config.tones[1][6] = 90;
    std::vector<bool> once(16, false);
    once[1] = true;
    once[0] = true;
    EXPECT_TRUE(storePlayOnce(config, once));
    EXPECT_EQ(config.tones[1][6], 0);
    EXPECT_EQ(config.tones[2][6], 84) << "unticked without a continuous tone gets 84";
    EXPECT_EQ(config.tones[0][6], 0);
    EXPECT_FALSE(storePlayOnce(config, once));
    EXPECT_EQ(soundCategoryText(0), "Sygnał błędu");
    EXPECT_EQ(soundCategoryText(7), "Alarm");
}

} // namespace
} // namespace k4

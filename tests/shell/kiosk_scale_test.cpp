// The kiosk's scale: the largest factor at which 640 x 480 fits the screen.
#include "shell/kiosk_scale.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

TEST(KioskScale, TheLargestFactorThatFitsTheScreenWholeAndTheLayoutCentred) {
    struct Case {
        int width, height;
        double factor;
        int x, y;  // origin on the scaled screen
    };
    const Case cases[] = {
        {640, 480, 1.0, 0, 0},
        {800, 600, 1.25, 0, 0},
        {1024, 768, 1.6, 0, 0},
        {1280, 1024, 2.0, 0, 16},    // 640 x 512 logical: 32 rows of height left over
        {1366, 768, 1.6, 106, 0},    // 853 x 480
        {1920, 1080, 2.25, 106, 0},  // 853 x 480
        {1920, 1200, 2.5, 64, 0},    // 768 x 480
        {2560, 1440, 3.0, 106, 0},
        {3840, 2160, 4.5, 106, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const double f = kioskScaleFactor(c.width, c.height);
        EXPECT_DOUBLE_EQ(f, c.factor);
        EXPECT_LE(640 * f, c.width);
        EXPECT_LE(480 * f, c.height);
        const KioskOrigin origin = kioskOrigin(static_cast<int>(c.width / f), static_cast<int>(c.height / f));
        EXPECT_EQ(origin.x, c.x);
        EXPECT_EQ(origin.y, c.y);
    }
    // A screen that tells no size leaves the layout as it is.
    EXPECT_DOUBLE_EQ(kioskScaleFactor(0, 0), 1.0);
}

} // namespace
} // namespace k4

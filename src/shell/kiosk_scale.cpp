#include "shell/kiosk_scale.h"

#include <algorithm>
#include <cmath>

namespace k4 {

double kioskScaleFactor(int deviceWidth, int deviceHeight) {
    if (deviceWidth <= 0 || deviceHeight <= 0) return 1.0;
    // In whole hundredths, compared in integers: 1920 x 1080 gives exactly
    // 2.25, never a 2.2500001 that would push the last row off the screen.
    const int byWidth = deviceWidth * 100 / kLayoutWidth;
    const int byHeight = deviceHeight * 100 / kLayoutHeight;
    const int hundredths = std::max(1, std::min(byWidth, byHeight));
    return hundredths / 100.0;
}

KioskOrigin kioskOrigin(int logicalWidth, int logicalHeight) {
    return {std::max(0, (logicalWidth - kLayoutWidth) / 2), std::max(0, (logicalHeight - kLayoutHeight) / 2)};
}

} // namespace k4

#pragma once
// The station's layout is 640 x 480 and stays so in logical pixels; on a
// larger kiosk screen it is drawn by the toolkit's device-pixel scaling, by
// the largest factor at which the whole layout still fits on the screen, and
// centred there.
namespace k4 {

constexpr int kLayoutWidth = 640;
constexpr int kLayoutHeight = 480;

// The factor for a screen of that many device pixels, in hundredths rounded
// down (640 * factor never passes the width, 480 * factor the height); 1 for
// a screen that reports no size.
double kioskScaleFactor(int deviceWidth, int deviceHeight);

struct KioskOrigin {
    int x = 0;
    int y = 0;
};

// Where the layout's top-left corner goes on a screen of that logical size,
// so that the borders left over are shared equally.
KioskOrigin kioskOrigin(int logicalWidth, int logicalHeight);

} // namespace k4

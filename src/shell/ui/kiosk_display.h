#pragma once
// The kiosk screen: the station's 640 x 480 layout drawn as large as the
// screen allows (the toolkit's device-pixel scaling, the layout unchanged in
// logical pixels) and centred on it, black around it.
#include <string>
#include <vector>

class QWidget;

namespace k4 {

// With the application made, before any part of the station has started:
// when the screen wants a scale other than the one in force, the station
// starts itself once more with QT_SCALE_FACTOR set, since the toolkit reads
// it only at its own start. A QT_SCALE_FACTOR given by the technician
// (QT_SCALE_FACTOR=1: no scaling) is kept. Returns when nothing is to be
// done or the new start failed.
void scaleKioskToScreen(const std::vector<std::string>& arguments);

// The main window full screen, its layout in the middle of the screen.
void showKioskWindow(QWidget& window);

} // namespace k4

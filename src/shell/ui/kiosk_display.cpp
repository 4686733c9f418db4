#include "shell/ui/kiosk_display.h"

#include "platform/journal_stream.h"
#include "shell/kiosk_scale.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace k4 {

void scaleKioskToScreen(const std::vector<std::string>& arguments) {
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR") || arguments.empty()) return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // The platform may scale already (a compositor's output scale): the
    // factor asked for comes on top of it.
    const qreal platform = screen->devicePixelRatio();
    const QSize size = screen->geometry().size();
    const int deviceWidth = static_cast<int>(std::lround(size.width() * platform));
    const int deviceHeight = static_cast<int>(std::lround(size.height() * platform));
    const double factor = kioskScaleFactor(deviceWidth, deviceHeight) / platform;
    if (std::abs(factor - 1.0) < 0.005) return;
    qputenv("QT_SCALE_FACTOR", QByteArray::number(factor, 'f', 4));
    std::vector<std::string> copy = arguments;
    std::vector<char*> argv;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv("/proc/self/exe", argv.data());
    tellStderr(JournalPriority::Warning, std::string("kestrel4: nie można uruchomić stacji w skali ekranu (") +
                                             std::strerror(errno) + "); okno 640 x 480 bez skalowania");
    qunsetenv("QT_SCALE_FACTOR");
}

void showKioskWindow(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, kLayoutWidth, kLayoutHeight);
    const KioskOrigin origin = kioskOrigin(area.width(), area.height());
    window.move(area.x() + origin.x, area.y() + origin.y);
    window.showFullScreen();
    // A full-screen window the toolkit keeps at its fixed size: placed anew
    // where the screen's middle is, whatever the session did with it.
    window.move(area.x() + origin.x, area.y() + origin.y);
}

} // namespace k4

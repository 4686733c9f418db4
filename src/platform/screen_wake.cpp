#include "platform/screen_wake.h"

#include <QProcess>
#include <QStringList>

#include <cstdlib>

namespace k4 {

namespace {

// A screen saver asked again within this time is still awake.
constexpr uint64_t kWakeSpacingMs = 5000;

bool startDetached(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
}

bool hasDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

} // namespace

ScreenWake::ScreenWake(const Clock& clock, Launcher launch)
    : clock_(clock), launch_(launch ? std::move(launch) : Launcher(startDetached)) {}

void ScreenWake::wake() {
    if (!hasDisplay()) return;
    const uint64_t now = clock_.tickMs();
    if (woken_ && now - lastWakeMs_ < kWakeSpacingMs) return;
    woken_ = true;
    lastWakeMs_ = now;
    // xdg-screensaver speaks to whatever saver the desktop runs (D-Bus or
    // X11); a bare X session without it still has the X server's own.
    if (!launch_("xdg-screensaver", {"reset"})) launch_("xset", {"s", "reset"});
}

} // namespace k4

#include "platform/screen_wake.h"

#include "support/manual_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace k4 {
namespace {

struct Launches {
    std::vector<std::string> programs;
    bool xdgPresent = true;
    ScreenWake::Launcher launcher() {
        return [this](const std::string& program, const std::vector<std::string>&) {
            programs.push_back(program);
            return program != "xdg-screensaver" || xdgPresent;
        };
    }
};

TEST(ScreenWake, WakesOncePerBurstFallsBackToXAndStaysQuietWithoutADisplay) {
    test::ManualClock clock;
    Launches launches;
    ScreenWake waker(clock, launches.launcher());
    ::setenv("DISPLAY", ":99", 1);
    waker.wake();
    clock.advanceMs(4000);
    waker.wake(); // the same burst
    clock.advanceMs(1500);
    launches.xdgPresent = false;
    waker.wake();
    EXPECT_EQ(launches.programs, (std::vector<std::string>{"xdg-screensaver", "xdg-screensaver", "xset"}));

    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    clock.advanceMs(10000);
    waker.wake();
    EXPECT_EQ(launches.programs.size(), 3u);
}

} // namespace
} // namespace k4

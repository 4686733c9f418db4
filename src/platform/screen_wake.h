#pragma once
// An alarm must be seen even when the operator's screen has gone dark. On a
// desktop with a screen saver the station asks it to start over, as if the
// operator had touched the mouse: best effort, never waiting for it.
#include "platform/clock.h"

#include <functional>
#include <string>
#include <vector>

namespace k4 {

class ScreenWake {
public:
    // Starts a program without waiting for it; false when it cannot start.
    using Launcher = std::function<bool(const std::string& program, const std::vector<std::string>& args)>;

    // The default launcher starts the program detached through Qt.
    explicit ScreenWake(const Clock& clock, Launcher launch = {});

    // Called for every alarm raised. Without a display it does nothing;
    // alarms that come in a burst wake the screen once.
    void wake();

private:
    const Clock& clock_;
    Launcher launch_;
    uint64_t lastWakeMs_ = 0;
    bool woken_ = false;
};

} // namespace k4

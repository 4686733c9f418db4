#include "platform/stop_signals.h"

#include <csignal>

namespace k4 {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) { stopRequested = 1; }

} // namespace

void watchStopSignals() {
    stopRequested = 0;
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool stopSignalled() { return stopRequested != 0; }

} // namespace k4

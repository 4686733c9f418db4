#pragma once
// The station under a service manager (systemd, Type=notify): it tells the
// manager when it is up ("READY=1"), when it is going down ("STOPPING=1"),
// and keeps telling it that its heartbeat still beats ("WATCHDOG=1"). The
// messages are datagrams to the socket named in NOTIFY_SOCKET; without that
// variable every call does nothing, so a station started by hand is the same.
// No library of the manager is needed: the protocol is one line per field.
#include <cstdint>
#include <string>

namespace k4 {

class ServiceNotifier {
public:
    // Takes NOTIFY_SOCKET, WATCHDOG_USEC and WATCHDOG_PID from the
    // environment and removes them, so that the programs the station starts
    // (the screen wake, a settings panel) never speak for it.
    static ServiceNotifier fromEnvironment();

    // socketPath: a file system path, or "@name" for an abstract socket;
    // empty for none. watchdogMs: the manager's watchdog interval, 0 for none.
    ServiceNotifier(std::string socketPath, uint64_t watchdogMs);
    ~ServiceNotifier();
    ServiceNotifier(ServiceNotifier&& other) noexcept;
    ServiceNotifier& operator=(ServiceNotifier&&) = delete;
    ServiceNotifier(const ServiceNotifier&) = delete;
    ServiceNotifier& operator=(const ServiceNotifier&) = delete;

    bool active() const { return !socketPath_.empty(); }
    uint64_t watchdogMs() const { return watchdogMs_; }

    // The start has finished: the history has its start entry and the
    // inputs are open. status: a short line the manager shows (UTF-8).
    void ready(const std::string& status);
    // The stop has begun; the data are being put away.
    void stopping(const std::string& status);
    // Called by the heartbeat once it has done its work: "WATCHDOG=1" when
    // half the interval has passed since the last one (the manager's own
    // advice), so a tick that stalls longer than the interval lets the
    // manager see it. nowMs: monotonic milliseconds.
    void heartbeat(uint64_t nowMs);

    // Sends one message as it stands; false when it could not be sent.
    bool send(const std::string& message);

private:
    std::string socketPath_;
    uint64_t watchdogMs_ = 0;
    bool fedOnce_ = false;
    uint64_t lastFedMs_ = 0;
    int fd_ = -1;
    bool failureTold_ = false;
};

} // namespace k4

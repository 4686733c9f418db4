#include "platform/service_notifier.h"

#include "platform/journal_stream.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace k4 {

namespace {

std::string takeVariable(const char* name) {
    const char* value = std::getenv(name);
    std::string text = value ? value : "";
    ::unsetenv(name);
    return text;
}

// A status line must stay one field: a line break would start another.
std::string oneLine(const std::string& text) {
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line;
}

} // namespace

ServiceNotifier ServiceNotifier::fromEnvironment() {
    std::string socketPath = takeVariable("NOTIFY_SOCKET");
    const std::string usec = takeVariable("WATCHDOG_USEC");
    const std::string pid = takeVariable("WATCHDOG_PID");
    uint64_t watchdogMs = 0;
    if (!usec.empty()) {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(usec.c_str(), &end, 10);
        if (end && *end == '\0') watchdogMs = value / 1000;
        // Below a millisecond the station could never keep up.
        if (value > 0 && watchdogMs == 0) watchdogMs = 1;
    }
    // The watchdog belongs to one process: a variable inherited from a
    // parent that was watched itself is not ours to feed.
    if (!pid.empty() && std::strtol(pid.c_str(), nullptr, 10) != static_cast<long>(::getpid())) watchdogMs = 0;
    // Only these two forms are sockets we can reach.
    if (!socketPath.empty() && socketPath[0] != '/' && socketPath[0] != '@') socketPath.clear();
    return ServiceNotifier(std::move(socketPath), watchdogMs);
}

ServiceNotifier::ServiceNotifier(std::string socketPath, uint64_t watchdogMs)
    : socketPath_(std::move(socketPath)), watchdogMs_(watchdogMs) {
    if (socketPath_.size() >= sizeof(sockaddr_un{}.sun_path)) {
        tellStderr(JournalPriority::Warning,
                   "kestrel4: za długa ścieżka NOTIFY_SOCKET - menedżer usług nie dostanie powiadomień");
        socketPath_.clear();
    }
    if (!active()) watchdogMs_ = 0;
}

ServiceNotifier::~ServiceNotifier() {
    if (fd_ >= 0) ::close(fd_);
}

ServiceNotifier::ServiceNotifier(ServiceNotifier&& other) noexcept
    : socketPath_(std::move(other.socketPath_)), watchdogMs_(other.watchdogMs_), fedOnce_(other.fedOnce_),
      lastFedMs_(other.lastFedMs_), fd_(other.fd_), failureTold_(other.failureTold_) {
    other.socketPath_.clear();
    other.watchdogMs_ = 0;
    other.fd_ = -1;
}

bool ServiceNotifier::send(const std::string& message) {
    if (!active()) return false;
    if (fd_ < 0) fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath_.data(), socketPath_.size());
    // "@name" is the abstract name space: a leading zero byte, no file.
    if (socketPath_[0] == '@') address.sun_path[0] = '\0';
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socketPath_.size());
    const ssize_t sent = ::sendto(fd_, message.data(), message.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&address), length);
    if (sent == static_cast<ssize_t>(message.size())) return true;
    // The manager gone or its socket full: the station goes on, and says it once.
    if (!failureTold_) {
        failureTold_ = true;
        tellStderr(JournalPriority::Warning, "kestrel4: nie można powiadomić menedżera usług (" + socketPath_ +
                                                 "): " + std::strerror(errno));
    }
    return false;
}

void ServiceNotifier::ready(const std::string& status) {
    send("READY=1\nSTATUS=" + oneLine(status) + "\nMAINPID=" + std::to_string(::getpid()));
}

void ServiceNotifier::stopping(const std::string& status) {
    send("STOPPING=1\nSTATUS=" + oneLine(status));
}

void ServiceNotifier::heartbeat(uint64_t nowMs) {
    if (watchdogMs_ == 0) return;
    if (fedOnce_ && nowMs - lastFedMs_ < watchdogMs_ / 2) return;
    if (send("WATCHDOG=1")) {
        fedOnce_ = true;
        lastFedMs_ = nowMs;
    }
}

} // namespace k4

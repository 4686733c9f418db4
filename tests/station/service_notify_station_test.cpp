// The station program as a service manager sees it: the datagrams it sends
// to NOTIFY_SOCKET through a whole run, the silence of its watchdog while
// it does not tick, and a restart after the manager gave up on it, found in
// the history as a new start after a run that never wrote its end.
#include "admin/installation.h"
#include "config/config.h"
#include "history/history_reader.h"
#include "sim/pty_link.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace k4 {
namespace {

#ifdef KESTREL4_STATION_PROGRAM

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class ManagerSocket {
public:
    explicit ManagerSocket(const std::string& path) {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~ManagerSocket() { ::close(fd_); }
    bool bound() const { return bound_; }

    // The datagrams that come within the time.
    std::vector<std::string> collect(std::chrono::milliseconds within) {
        std::vector<std::string> got;
        const auto end = Clock::now() + within;
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            pollfd p{fd_, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n > 0) got.emplace_back(buffer, static_cast<size_t>(n));
        }
        return got;
    }
    // Waits for a datagram beginning with `start`; those before it are dropped.
    bool waitFor(const std::string& start, std::chrono::milliseconds within) {
        const auto end = Clock::now() + within;
        while (Clock::now() < end) {
            for (const std::string& m : collect(100ms))
                if (m.rfind(start, 0) == 0) return true;
        }
        return false;
    }

private:
    int fd_ = -1;
    bool bound_ = false;
};

int countOf(const std::vector<std::string>& messages, const std::string& text) {
    int n = 0;
    for (const std::string& m : messages) n += m == text;
    return n;
}

// `kestrel4 --headless` as a Type=notify service with a watchdog of 600 ms.
pid_t startStation(const std::string& data, const std::string& port, const std::string& socket,
                   const std::string& log) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("KESTREL4_SERIAL_PORTS=", 0) != 0 && entry.rfind("NOTIFY_SOCKET=", 0) != 0 &&
            entry.rfind("WATCHDOG_", 0) != 0)
            env.push_back(entry);
    }
    env.push_back("KESTREL4_SERIAL_PORTS=" + port);
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("NOTIFY_SOCKET=" + socket);
    env.push_back("WATCHDOG_USEC=600000");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = KESTREL4_STATION_PROGRAM;
    std::string headless = "--headless", dataOption = "--data", dir = data;
    char* argv[] = {program.data(), headless.data(), dataOption.data(), dir.data(), nullptr};
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execve(program.c_str(), argv, envp.data());
        ::_exit(127);
    }
    ::close(out);
    return pid;
}

int endOf(pid_t pid, int signal) {
    int status = -1;
    ::kill(pid, signal);
    ::waitpid(pid, &status, 0);
    return status;
}

// The start (1) and end (2) entries of the history, in order.
std::string runEntries(const std::string& logf) {
    std::string kinds;
    readHistoryFile(logf, [&](const HistoryEntry& e) {
        if (e.isSystem() && (e.kindCode() == 1 || e.kindCode() == 2)) kinds += e.kindCode() == 1 ? 'S' : 'E';
        return true;
    });
    return kinds;
}

TEST(StationAsService, ReadyAfterStartWatchdogFromTheTickStoppingAtTheEndAndSilenceWhileStalled) {
    test::TempDir tmp;
    const std::string data = tmp.file("centrala");
    std::string error;
    ASSERT_TRUE(admin::writeFreshInstallation(data, false, error)) << error;
    {
        Config config{DataDir(data)};
        ASSERT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 2;
        config.block().data_port = 1;
        config.block().base2_port = 0;
        ASSERT_EQ(config.SaveConfig(1), 0);
    }
    sim::PtyLink base;
    ASSERT_TRUE(base.create(tmp.file("baza1"), error)) << error;
    ManagerSocket manager(tmp.file("notify"));
    ASSERT_TRUE(manager.bound());
    const std::string log = tmp.file("stacja.log");

    // First run: up, fed while ticking, silent while stopped in its tracks,
    // then killed as the manager kills a station whose watchdog ran out.
    pid_t station = startStation(data, tmp.file("baza1"), tmp.file("notify"), log);
    ASSERT_TRUE(manager.waitFor("READY=1\n", 60s)) << tmp.read("stacja.log");
    EXPECT_EQ(runEntries(data + "/logf"), "S") << "READY=1 comes after the start entry";
    const auto ticking = manager.collect(1500ms);
    EXPECT_GE(countOf(ticking, "WATCHDOG=1"), 3) << "fed at half the 600 ms interval";
    ASSERT_EQ(::kill(station, SIGSTOP), 0);
    manager.collect(100ms);  // what was on its way
    EXPECT_EQ(manager.collect(1500ms), std::vector<std::string>{}) << "no tick, no watchdog";
    const int killed = endOf(station, SIGKILL);
    EXPECT_TRUE(WIFSIGNALED(killed)) << killed;

    // The restart: a new start entry after a run without its end entry.
    station = startStation(data, tmp.file("baza1"), tmp.file("notify"), log);
    ASSERT_TRUE(manager.waitFor("READY=1\n", 60s)) << tmp.read("stacja.log");
    EXPECT_GE(countOf(manager.collect(1000ms), "WATCHDOG=1"), 1);
    const int status = endOf(station, SIGTERM);
    const auto last = manager.collect(500ms);
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.back().rfind("STOPPING=1\n", 0), 0u) << last.back();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << tmp.read("stacja.log");
    EXPECT_EQ(runEntries(data + "/logf"), "SSE");
}

#else

TEST(StationAsService, ReadyAfterStartWatchdogFromTheTickStoppingAtTheEndAndSilenceWhileStalled) {
    GTEST_SKIP() << "built without the station program (KESTREL4_GUI off)";
}

#endif

} // namespace
} // namespace k4

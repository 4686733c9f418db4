// The service manager's side of the notify protocol, played by a datagram
// socket of the test: what the station says, and when it says nothing.
#include "platform/journal_stream.h"
#include "platform/service_notifier.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace k4 {
namespace {

// The manager's end: a bound datagram socket, by path or abstract name.
class FakeManagerSocket {
public:
    explicit FakeManagerSocket(const std::string& name) : name_(name) {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.data(), name.size());
        if (name[0] == '@') address.sun_path[0] = '\0';
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0;
    }
    ~FakeManagerSocket() { ::close(fd_); }
    bool bound() const { return bound_; }

    // The next datagram, or "" when none came within the time.
    std::string next(int waitMs = 200) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0) return "";
        char buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "";
    }

private:
    std::string name_;
    int fd_ = -1;
    bool bound_ = false;
};

TEST(ServiceNotifier, ReadyAndStoppingReachTheSocketByPathAndByAbstractName) {
    test::TempDir tmp;
    const std::string abstractName = "@kestrel4-test-" + std::to_string(::getpid());
    for (const std::string& name : {tmp.file("notify"), abstractName}) {
        SCOPED_TRACE(name);
        FakeManagerSocket manager(name);
        ASSERT_TRUE(manager.bound());
        ServiceNotifier service(name, 0);
        ASSERT_TRUE(service.active());
        service.ready("Stacja\npracuje");
        const std::string ready = manager.next();
        EXPECT_EQ(ready.rfind("READY=1\n", 0), 0u) << ready;
        // A line break in the status would have started another field.
        EXPECT_NE(ready.find("STATUS=Stacja pracuje\n"), std::string::npos) << ready;
        EXPECT_NE(ready.find("MAINPID=" + std::to_string(::getpid())), std::string::npos) << ready;
        service.stopping("Koniec");
        EXPECT_EQ(manager.next(), "STOPPING=1\nSTATUS=Koniec");
    }
}

TEST(ServiceNotifier, TheWatchdogIsFedAtHalfTheIntervalAndNotWhileTheHeartbeatIsSilent) {
    test::TempDir tmp;
    FakeManagerSocket manager(tmp.file("notify"));
    ServiceNotifier service(tmp.file("notify"), 1000);
    // Heartbeats every 100 ms: one feed at once, then one per 500 ms.
    std::vector<uint64_t> fedAt;
    for (uint64_t now = 10'000; now <= 11'200; now += 100) {
        service.heartbeat(now);
        if (const std::string message = manager.next(0); !message.empty()) {
            EXPECT_EQ(message, "WATCHDOG=1");
            fedAt.push_back(now);
        }
    }
    EXPECT_EQ(fedAt, (std::vector<uint64_t>{10'000, 10'500, 11'000}));
    // A stalled heartbeat calls nothing, so nothing is sent however long
    // it stays away; the next one that comes feeds again at once.
    EXPECT_EQ(manager.next(300), "");
    service.heartbeat(20'000);
    EXPECT_EQ(manager.next(), "WATCHDOG=1");
}

TEST(ServiceNotifier, TheEnvironmentIsTakenOnceAndAnotherProcessesWatchdogIsNotFed) {
    test::TempDir tmp;
    FakeManagerSocket manager(tmp.file("notify"));
    struct Case {
        const char* usec;
        std::string pid;
        uint64_t watchdogMs;
    };
    const Case cases[] = {
        {"3000000", std::to_string(::getpid()), 3000},
        {"3000000", "", 3000},
        {"3000000", "1", 0},  // the variable of a watched parent
        {"junk", "", 0},
        {nullptr, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.usec ? c.usec : "(none)");
        ::setenv("NOTIFY_SOCKET", tmp.file("notify").c_str(), 1);
        if (c.usec) ::setenv("WATCHDOG_USEC", c.usec, 1); else ::unsetenv("WATCHDOG_USEC");
        if (!c.pid.empty()) ::setenv("WATCHDOG_PID", c.pid.c_str(), 1); else ::unsetenv("WATCHDOG_PID");
        ServiceNotifier service = ServiceNotifier::fromEnvironment();
        EXPECT_TRUE(service.active());
        EXPECT_EQ(service.watchdogMs(), c.watchdogMs);
        // The programs the station starts must not speak for it.
        EXPECT_EQ(std::getenv("NOTIFY_SOCKET"), nullptr);
        EXPECT_EQ(std::getenv("WATCHDOG_USEC"), nullptr);
        EXPECT_EQ(std::getenv("WATCHDOG_PID"), nullptr);
        service.heartbeat(1);
        EXPECT_EQ(manager.next(50), c.watchdogMs ? "WATCHDOG=1" : "");
    }
}

TEST(ServiceNotifier, WithoutAManagerNothingIsSentAndNothingFails) {
    ::unsetenv("NOTIFY_SOCKET");
    ServiceNotifier none = ServiceNotifier::fromEnvironment();
    EXPECT_FALSE(none.active());
    none.ready("x");
    none.heartbeat(1);
    none.stopping("x");
    // A socket named but gone: the station goes on.
    test::TempDir tmp;
    ServiceNotifier gone(tmp.file("nobody"), 1000);
    EXPECT_FALSE(gone.send("READY=1"));
    gone.heartbeat(1);
}

TEST(JournalStream, EveryLineCarriesItsPriorityOnlyWhenWrittenToTheJournal) {
    EXPECT_EQ(journalLines(JournalPriority::Error, "[Błąd] Brak pliku\ndrugi wiersz\n", true),
              "<3>[Błąd] Brak pliku\n<3>drugi wiersz\n");
    EXPECT_EQ(journalLines(JournalPriority::Warning, "Uwaga\r\n", true), "<4>Uwaga\n");
    EXPECT_EQ(journalLines(JournalPriority::Error, "[Błąd] Brak pliku", false), "[Błąd] Brak pliku\n");
}

TEST(JournalStream, StandardErrorIsTheJournalOnlyWhenItIsTheNamedStream) {
    test::TempDir tmp;
    const int saved = ::dup(2);
    FILE* file = std::fopen(tmp.file("stderr").c_str(), "w");
    ::dup2(fileno(file), 2);
    struct stat st {};
    ::fstat(2, &st);
    ::setenv("JOURNAL_STREAM", (std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino)).c_str(), 1);
    const bool named = stderrIsJournal();
    tellStderr(JournalPriority::Error, "[Błąd] zapisu historii zdarzeń");
    ::setenv("JOURNAL_STREAM", (std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino + 1)).c_str(), 1);
    const bool other = stderrIsJournal();
    tellStderr(JournalPriority::Error, "[Błąd] drugi");
    ::unsetenv("JOURNAL_STREAM");
    ::dup2(saved, 2);
    ::close(saved);
    std::fclose(file);
    EXPECT_TRUE(named);
    EXPECT_FALSE(other);
    EXPECT_EQ(tmp.read("stderr"), "<3>[Błąd] zapisu historii zdarzeń\n[Błąd] drugi\n");
}

} // namespace
} // namespace k4

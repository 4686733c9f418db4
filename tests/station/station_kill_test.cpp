// The station program killed (kill -9) at the moment its acceptance leaves,
// again and again: every report a base was told "accepted" is in the
// history after the restart. Duplicates are allowed, losses are not.
#include "admin/installation.h"
#include "config/config.h"
#include "history/history_reader.h"
#include "sim/base_scenario.h"
#include "sim/pty_link.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

#ifdef KESTREL4_STATION_PROGRAM

Bytes reportFrame(int subscriber) {
    std::istringstream in("report " + std::to_string(subscriber) + " 130 1 1\n");
    std::string error;
    auto steps = sim::parseBaseScenario(in, error);
    EXPECT_TRUE(steps) << error;
    return steps ? steps->front().bytes : Bytes{};
}

// `kestrel4 --headless` over the directory, its serial port 1 the base's
// line, its output to a log beside the test's files.
class StationProcess {
public:
    StationProcess(const std::string& data, const std::string& port, const std::string& log) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("KESTREL4_SERIAL_PORTS=", 0) != 0) env.push_back(entry);
        }
        env.push_back("KESTREL4_SERIAL_PORTS=" + port);
        env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = KESTREL4_STATION_PROGRAM;
        std::string headless = "--headless", dataOption = "--data", dir = data;
        char* argv[] = {program.data(), headless.data(), dataOption.data(), dir.data(), nullptr};
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
            ::execve(program.c_str(), argv, envp.data());
            ::_exit(127);
        }
        ::close(out);
    }
    ~StationProcess() {
        if (pid_ > 0) kill(SIGKILL);
    }
    // The status of its end.
    int kill(int signal) {
        int status = -1;
        ::kill(pid_, signal);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
};

// Link tests until the station answers one: it is up, and whatever its
// start had to process from the journal is processed. The answers to link
// tests sent while it was starting are waited out too, so that the next
// 0x0A the base reads is the answer to its next frame.
bool waitUntilAnswering(sim::PtyLink& base) {
    const Bytes linkTest{0x0A, 0x00, 0x0D, 0x17};
    for (int attempt = 0; attempt < 30; ++attempt) {
        base.write(linkTest);
        const Bytes answer = base.readUntilQuiet(1000ms, 300ms);
        for (size_t i = 0; i + 1 < answer.size(); ++i) {
            if (answer[i] == 0x0A && answer[i + 1] == 0x0D) {
                while (!base.readUntilQuiet(500ms, 300ms).empty()) {
                }
                return true;
            }
        }
    }
    return false;
}

TEST(StationKilled, EveryAcceptedReportIsInTheHistoryAfterKillsAtTheMomentOfTheAnswer) {
    test::TempDir tmp;
    const std::string data = tmp.file("centrala");
    std::string error;
    ASSERT_TRUE(admin::writeFreshInstallation(data, false, error)) << error;
    {
        Config config{DataDir(data)};
        ASSERT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 2;
        config.block().data_port = 1;
        config.block().base1_speed = 9600;
        ASSERT_EQ(config.SaveConfig(1), 0);
    }
    sim::PtyLink base;
    ASSERT_TRUE(base.create(tmp.file("baza1"), error)) << error;
    const std::string log = tmp.file("stacja.log");

    // KESTREL4_KILL_ROUNDS makes it a longer attack run.
    const char* rounds = std::getenv("KESTREL4_KILL_ROUNDS");
    const int kRounds = rounds ? std::max(1, std::atoi(rounds)) : 8;
    std::vector<int> acknowledged;
    int missingBeforeRestart = 0;
    for (int round = 0; round < kRounds; ++round) {
        StationProcess station(data, tmp.file("baza1"), log);
        ASSERT_TRUE(waitUntilAnswering(base)) << "round " << round << ", see " << tmp.read("stacja.log");
        const int subscriber = 3000 + round;
        ASSERT_TRUE(base.write(reportFrame(subscriber)));
        // The first byte of "accepted" is enough for a base to count on it.
        bool accepted = false;
        for (auto byte = base.read(2000ms); byte && !accepted; byte = base.read(200ms)) accepted = *byte == 0x0A;
        station.kill(SIGKILL);
        if (!accepted) continue;
        acknowledged.push_back(subscriber);
        bool logged = false;
        readHistoryFile(data + "/logf", [&](const HistoryEntry& e) {
            logged |= !e.isSystem() && e.subscriber == subscriber;
            return true;
        });
        missingBeforeRestart += !logged;
    }
    {
        StationProcess station(data, tmp.file("baza1"), log);
        ASSERT_TRUE(waitUntilAnswering(base));
        const int status = station.kill(SIGTERM);
        EXPECT_TRUE(WIFEXITED(status)) << status;
    }

    std::map<int, int> found;
    readHistoryFile(data + "/logf", [&](const HistoryEntry& e) {
        if (!e.isSystem()) ++found[e.subscriber];
        return true;
    });
    int lost = 0, duplicates = 0;
    for (int subscriber : acknowledged) {
        EXPECT_GE(found[subscriber], 1) << "report of " << subscriber << " was accepted and is gone";
        lost += found[subscriber] == 0;
        duplicates += found[subscriber] > 1;
    }
    EXPECT_EQ(static_cast<int>(acknowledged.size()), kRounds) << "every round's report was accepted";
    RecordProperty("acknowledged", static_cast<int>(acknowledged.size()));
    RecordProperty("missing_before_restart", missingBeforeRestart);
    RecordProperty("lost", lost);
    RecordProperty("duplicates", duplicates);
    std::printf("acknowledged %zu, not yet in the history when killed %d, lost %d, duplicates %d\n",
                acknowledged.size(), missingBeforeRestart, lost, duplicates);
}

#else

TEST(StationKilled, EveryAcceptedReportIsInTheHistoryAfterKillsAtTheMomentOfTheAnswer) {
    GTEST_SKIP() << "built without the station program (KESTREL4_GUI off)";
}

#endif

} // namespace
} // namespace k4

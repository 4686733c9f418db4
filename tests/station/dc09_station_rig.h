#pragma once
// A whole station from a fresh installation with its receiver of IP
// panels on a loopback port of its own, and the panels of kestrel4-sim dc09
// played in a child process against it while the station's loop turns
// here: the station's clock moves with the wall clock, and the panels'
// clock is the station's.
#include "shell/station.h"

#include "admin/installation.h"
#include "database/sbscrbr.h"
#include "database/subscriber_saving.h"
#include "history/history_reader.h"
#include "net/dc09_accounts.h"
#include "sim/dc09_player.h"
#include "sim/dc09_soak.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace k4::dc09test {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "tests_station";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
}

// A port free for both TCP and UDP on every address just now.
inline uint16_t freeDc09Port() {
    ensureApplication();
    for (int attempt = 0; attempt < 20; ++attempt) {
        QTcpServer tcp;
        if (!tcp.listen(QHostAddress::Any, 0)) continue;
        QUdpSocket udp;
        if (udp.bind(QHostAddress::Any, tcp.serverPort())) return tcp.serverPort();
    }
    return 0;
}

struct ListedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/k4-interface", "/dev/k4-data"}; }
};

class Dc09Station {
public:
    Dc09Station() {
        ensureApplication();
        std::string error;
        EXPECT_TRUE(admin::writeFreshInstallation(tmp.path(), false, error)) << error;
        Config config{DataDir(tmp.path())};
        EXPECT_EQ(config.LoadConfig(1), 0);
        config.block().mode = 0;
        config.block().inter_port = 1;
        config.block().data_port = 2;
        EXPECT_EQ(config.SaveConfig(1), 0);
        port = freeDc09Port();
        EXPECT_NE(port, 0);
        tmp.write(Dc09Settings::kFileName, "port " + std::to_string(port) + "\nunknown refuse\n");
    }
    ~Dc09Station() {
        if (station) station->stop();
    }
    void addAccount(const std::string& account, int32_t subscriber, const std::string& key) {
        std::string reason;
        ASSERT_TRUE(accounts.add(account, subscriber, key, &reason)) << reason;
        ASSERT_TRUE(accounts.save(DataDir(tmp.path()), &reason)) << reason;
    }
    void start() {
        station = std::make_unique<Station>(Station::Environment{
            DataDir(tmp.path()), ui, clock, ports, [this] { return std::make_unique<test::FakeSerialLine>(&clock); },
            [](int) {}});
        ASSERT_EQ(station->start(), 0);
        station->trace().setEnabled(true);
        ASSERT_TRUE(station->ipPanels().listening());
        ASSERT_EQ(station->ipPanels().port(), port);
    }
    void addSubscriber(int number, const std::function<void(SubscriberRecord&)>& edit = {}) {
        Sbscrbr s(station->database(), ByNumber{number});
        std::snprintf(s.record.name, sizeof s.record.name, "Centrala %d", number);
        if (edit) edit(s.record);
        int32_t offset = 0;
        ASSERT_EQ(saveNewSubscriber(station->database(), station->indexes(), s.record, offset), kSubscriberSaved);
    }

    // One turn of the station's loop, its clock brought up to the wall
    // clock's time since the last turn.
    void turn() {
        const auto now = std::chrono::steady_clock::now();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTurn_).count();
        if (ms > 0) {
            clock.advanceMs(ms);
            lastTurn_ = now;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        station->tick();
    }

    // Runs panels in a child process until it ends; its exit status (0: every
    // answer as the panels expected it), its log in log.
    int runPanels(const std::function<int(std::ostream& log, int64_t clockOffset)>& panels, std::string& log,
                  int limitSeconds = 90) {
        const int64_t offset = clock.unixTime() - static_cast<int64_t>(std::time(nullptr));
        const std::string logFile = tmp.file("panels.log");
        const pid_t child = ::fork();
        if (child == 0) {
            std::ofstream out(logFile);
            const int status = panels(out, offset);
            out.flush();
            ::_exit(status);
        }
        EXPECT_GT(child, 0);
        lastTurn_ = std::chrono::steady_clock::now();
        int status = -1;
        const auto began = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - began < std::chrono::seconds(limitSeconds)) {
            turn();
            if (::waitpid(child, &status, WNOHANG) == child) break;
        }
        if (!WIFEXITED(status)) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            status = -1;
        }
        std::ifstream in(logFile);
        std::stringstream text;
        text << in.rdbuf();
        log = text.str();
        return status < 0 ? -1 : WEXITSTATUS(status);
    }

    // A scenario of kestrel4-sim dc09 against the station.
    int play(const std::string& scenario, std::string& log) {
        return runPanels(
            [&](std::ostream& out, int64_t offset) {
                std::istringstream text(scenario);
                std::string error;
                const auto steps = sim::parseDc09Scenario(text, error);
                if (!steps) {
                    out << error << std::endl;
                    return 2;
                }
                sim::Dc09PlayOptions options;
                options.port = port;
                options.now = [offset] { return static_cast<int64_t>(std::time(nullptr)) + offset; };
                const auto result = sim::playDc09Scenario(*steps, options, out);
                out << result.passed << " passed, " << result.failed << " failed" << std::endl;
                return result.failed == 0 ? 0 : 1;
            },
            log);
    }

    std::vector<HistoryEntry> reports() const {
        std::vector<HistoryEntry> out;
        readHistoryFile(tmp.file("logf"), [&](const HistoryEntry& e) {
            if (!e.isSystem()) out.push_back(e);
            return true;
        });
        return out;
    }
    int count(int subscriber, int code, int subsystem = -1, int sector = -1) const {
        int n = 0;
        for (const HistoryEntry& e : reports())
            n += e.subscriber == subscriber && e.kindCode() == code && (subsystem < 0 || e.subsystem == subsystem) &&
                 (sector < 0 || (e.sector & 0x0FFF) == sector);
        return n;
    }
    int special(int index) const { return station->config().special_codes[index]; }

    test::TempDir tmp;
    test::ManualClock clock;
    test::ScriptedOperatorUi ui;
    ListedPorts ports;
    Dc09AccountTable accounts;
    uint16_t port = 0;
    std::unique_ptr<Station> station;

private:
    std::chrono::steady_clock::time_point lastTurn_ = std::chrono::steady_clock::now();
};

} // namespace k4::dc09test

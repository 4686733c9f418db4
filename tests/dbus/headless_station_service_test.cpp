// The station without a display offers the display programs' service too:
// `kestrel4 --headless` over a fresh installation, on the test's own session
// bus, answers dbus-send with the fixed item values; without a session bus
// (and without an audio output) it says so once and runs on.
#include "admin/installation.h"
#include "config/config.h"
#include "sim/pty_link.h"
#include "signals/dde_service.h"
#include "support/temp_dir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace k4 {
namespace {

#ifdef KESTREL4_STATION_PROGRAM

struct HeadlessStation {
    explicit HeadlessStation(const std::string& data, const QProcessEnvironment& env) {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(KESTREL4_STATION_PROGRAM, {"--headless", "--data", QString::fromStdString(data)});
        process.waitForStarted(5000);
    }
    ~HeadlessStation() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(15000)) process.kill();
            process.waitForFinished(5000);
        }
    }
    std::string stop() {
        process.terminate();
        process.waitForFinished(15000);
        return process.readAll().toStdString();
    }
    QProcess process;
};

// A fresh installation receiving on one serial base line, a pseudo-terminal
// the test holds.
struct Installation {
    test::TempDir tmp;
    std::string data = tmp.file("centrala");
    sim::PtyLink base;
    bool make() {
        std::string error;
        if (!admin::writeFreshInstallation(data, false, error)) return false;
        Config config{DataDir(data)};
        if (config.LoadConfig(1) != 0) return false;
        config.block().mode = 2;
        config.block().data_port = 1;
        config.block().base1_speed = 9600;
        return config.SaveConfig(1) == 0 && base.create(tmp.file("baza1"), error);
    }
};

QProcessEnvironment stationEnvironment(Installation& at) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "Europe/Warsaw");
    env.insert("KESTREL4_SERIAL_PORTS", QString::fromStdString(at.tmp.file("baza1")));
    // Sounds through the file back end, as a station would run: on a machine
    // without audio output it says so once.
    env.remove("KESTREL4_SOUND");
    return env;
}

std::string request(const std::string& item) {
    QProcess p;
    p.start("dbus-send", {"--session", "--print-reply=literal", "--dest=" + QString(kDdeServiceName), kDdeObjectPath,
                          QString(kDdeInterface) + ".Request", "string:" + QString::fromStdString(item)});
    p.waitForFinished(10000);
    return p.exitCode() == 0 ? p.readAllStandardOutput().trimmed().toStdString() : "<" + p.readAllStandardError().toStdString() + ">";
}

bool serviceUp() {
    QProcess p;
    p.start("dbus-send", {"--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                          "org.freedesktop.DBus.NameHasOwner", "string:" + QString(kDdeServiceName)});
    p.waitForFinished(10000);
    return p.readAllStandardOutput().contains("boolean true");
}

TEST(HeadlessStationServiceTest, TheHeadlessStationOffersTheItemsOnTheSessionBus) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "run under dbus-run-session";
    Installation at;
    ASSERT_TRUE(at.make());
    HeadlessStation station(at.data, stationEnvironment(at));
    QElapsedTimer t;
    t.start();
    while (!serviceUp() && t.elapsed() < 30000 && station.process.state() == QProcess::Running)
        station.process.waitForFinished(200);
    ASSERT_TRUE(serviceUp()) << station.process.readAll().toStdString();
    EXPECT_EQ(request("leds1"), "8");
    EXPECT_EQ(request("vsbs_no"), "-1");
    EXPECT_EQ(request("switch1"), "1");
    const std::string out = station.stop();
    EXPECT_EQ(station.process.exitCode(), 0) << out;
    EXPECT_EQ(out.find("brak sesji D-Bus"), std::string::npos) << out;
}

TEST(HeadlessStationServiceTest, WithoutASessionBusTheHeadlessStationSaysSoOnceAndRuns) {
    Installation at;
    ASSERT_TRUE(at.make());
    QProcessEnvironment env = stationEnvironment(at);
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/k4-bus");
    HeadlessStation station(at.data, env);
    // It runs: the start entry reaches standard output and the station
    // stays up until asked to stop.
    std::string out;
    QElapsedTimer t;
    t.start();
    while (out.find("brak sesji D-Bus") == std::string::npos && t.elapsed() < 30000 &&
           station.process.state() == QProcess::Running) {
        station.process.waitForReadyRead(200);
        out += station.process.readAll().toStdString();
    }
    ASSERT_EQ(station.process.state(), QProcess::Running) << out;
    out += station.stop();
    EXPECT_EQ(station.process.exitCode(), 0) << out;
    size_t told = 0;
    for (size_t at = out.find("brak sesji D-Bus"); at != std::string::npos; at = out.find("brak sesji D-Bus", at + 1))
        ++told;
    EXPECT_EQ(told, 1u) << out;
}

#endif

} // namespace
} // namespace k4

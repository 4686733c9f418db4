// The display programs' service on a session bus of the test's own (the
// program runs under dbus-run-session), read by real clients: dbus-send for
// the items, dbus-monitor for the alarm signals.
#include "signals/dde_service.h"

#include "database/text_edge.h"
#include "support/history_rig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

namespace k4 {
namespace {

QCoreApplication& coreApp() {
    static int argc = 1;
    static char name[] = "kestrel4-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

// Runs a client while this thread keeps serving the bus.
struct ClientResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
ClientResult runClient(const QStringList& args) {
    QProcess p;
    p.start("dbus-send", args);
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        p.waitForFinished(5);
    }
    return {p.exitCode(), p.readAllStandardOutput().trimmed().toStdString(),
            p.readAllStandardError().toStdString()};
}

ClientResult call(const QString& method, const QStringList& params) {
    QStringList args{"--session", "--print-reply=literal", "--dest=" + QString(kDdeServiceName),
                     kDdeObjectPath, QString(kDdeInterface) + "." + method};
    for (const QString& p : params) args << "string:" + p;
    return runClient(args);
}

AlarmRecord alarmOf(int subscriber, int cls, int code) {
    AlarmRecord a;
    a.subscriber = static_cast<int16_t>(subscriber);
    a.codeWord = static_cast<uint16_t>((cls << 12) | code);
    a.origCodeWord = a.codeWord;
    a.time = 5000;
    return a;
}

struct DdeServiceTest : ::testing::Test {
    void SetUp() override {
        coreApp();
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) << "run under dbus-run-session";
    }
};

TEST_F(DdeServiceTest, EveryItemIsReadableWithItsFixedValueAndSwitch1TakesAPoke) {
    DdeService service;
    ASSERT_TRUE(service.start(nullptr));
    const std::map<std::string, std::string> expected = {
        {"Al_sector", ""}, {"Al_no", ""},   {"vsbs_no", "-1"}, {"Al_line", ""},  {"Al_sbs", ""},
        {"leds1", "8"},    {"leds2", ""},   {"leds3", ""},     {"leds4", ""},    {"leds5", ""},
        {"leds6", ""},     {"leds7", ""},   {"leds8", ""},     {"L07", ""},      {"L08", ""},
        {"L09", ""},       {"L10", ""},     {"L11", ""},       {"L12", "-1"},    {"L07D", ""},
        {"L08D", ""},      {"L09D", ""},    {"L10D", ""},      {"L11D", ""},     {"L12D", ""},
        {"vflow1", "0"},   {"vflow2", ""},  {"switch1", "1"}};
    EXPECT_EQ(DdeService::items(), expected);
    for (const auto& [item, value] : expected) {
        const ClientResult r = call("Request", {QString::fromStdString(item)});
        EXPECT_EQ(r.exitCode, 0) << item << ": " << r.err;
        EXPECT_EQ(r.out, value) << item;
    }
    EXPECT_EQ(call("Poke", {"switch1", "0"}).exitCode, 0) << "accepted";
    EXPECT_EQ(call("Request", {"switch1"}).out, "1") << "and without effect";
    EXPECT_NE(call("Poke", {"leds1", "3"}).exitCode, 0);
    EXPECT_NE(call("Request", {"nothing"}).exitCode, 0);
    const ClientResult names = call("Items", {});
    EXPECT_EQ(names.exitCode, 0);
    EXPECT_NE(names.out.find("vflow1"), std::string::npos);
}

TEST_F(DdeServiceTest, AClientSeesEachAlarmEnteredAndServicedWithItsLineInUtf8) {
    test::HistoryRig rig;
    ASSERT_GE(rig.history.OpenHistory("logf"), 0);
    ConfigBlock config{};
    AlarmsList alarms(config, rig.history);
    DdeService service;
    ASSERT_TRUE(service.start(nullptr));
    service.setLineOf([](const AlarmRecord& a) { return mz("Włamanie Łódź ") + std::to_string(a.subscriber); });
    alarms.setBroadcast(&service);

    QProcess monitor;
    monitor.start("dbus-monitor", {"--session", "type='signal',interface='pl.kestrel4.Topic'"});
    ASSERT_TRUE(monitor.waitForStarted(5000));
    std::string seen;
    QElapsedTimer t;
    t.start();
    // The monitor needs a moment to be listening: alarms keep coming until
    // it has seen one, as on a busy station.
    while (seen.find("AlarmEntered") == std::string::npos && t.elapsed() < 20000) {
        alarms.raiseAlarm(alarmOf(1234, 3, 0x130), 3);
        for (int i = 0; i < 10; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        monitor.waitForReadyRead(50);
        seen += monitor.readAll().toStdString();
    }
    alarms.enterService(0, false);
    while (seen.find("AlarmServiced") == std::string::npos && t.elapsed() < 25000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        monitor.waitForReadyRead(50);
        seen += monitor.readAll().toStdString();
    }
    monitor.kill();
    monitor.waitForFinished(2000);

    ASSERT_NE(seen.find("AlarmEntered"), std::string::npos) << seen;
    ASSERT_NE(seen.find("AlarmServiced"), std::string::npos) << seen;
    const std::string entered = seen.substr(seen.find("AlarmEntered"));
    EXPECT_NE(entered.find("int32 1234"), std::string::npos) << entered;
    EXPECT_NE(entered.find("int32 304"), std::string::npos) << "code 0x130";
    EXPECT_NE(entered.find("int32 3"), std::string::npos) << "class";
    EXPECT_NE(entered.find("string \"Włamanie Łódź 1234\""), std::string::npos) << entered;
}

TEST_F(DdeServiceTest, WithoutASessionBusThereIsNoServiceToldOnce) {
    DdeService service(QDBusConnection::connectToBus(QString("unix:path=/nonexistent/k4-bus"), "k4-none"));
    std::vector<std::string> told;
    EXPECT_FALSE(service.start([&](const std::string& w) { told.push_back(w); }));
    EXPECT_FALSE(service.running());
    service.alarmEntered(alarmOf(1, 2, 3)); // and nothing else changes
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "brak sesji D-Bus: usługa dla programów zewnętrznych nie działa");
}

} // namespace
} // namespace k4

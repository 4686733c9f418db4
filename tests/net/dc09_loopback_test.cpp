// The receiver behind its real sockets on loopback: a panel over TCP and one
// over UDP each get their ACK, and a panel over the per-address limit is
// closed at once.
#include "net/dc09_receiver.h"
#include "platform/qt_dc09_sockets.h"

#include "processing/report.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QUdpSocket>

namespace k4 {
namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "kestrel4-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* a = QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return *a;
}

struct StoringIntake final : FrameIntake {
    int taken = 0;
    std::optional<IntakeTicket> take(IntakeChannel, int, std::span<const uint8_t>) override { return IntakeTicket{++taken, 0}; }
    void processed(const IntakeTicket&) override {}
};

struct Wire final : Dc09Wire {
    QtDc09Sockets* sockets = nullptr;
    void send(int c, std::string_view b) override { sockets->send(c, b); }
    void close(int c) override { sockets->close(c); }
    void sendDatagram(const std::string& a, uint16_t p, std::string_view b) override { sockets->sendDatagram(a, p, b); }
};

TEST(Dc09Loopback, TcpAndUdpPanelsGetTheirAcks) {
    app();
    StoringIntake intake;
    Dc09AccountTable accounts;
    ASSERT_TRUE(accounts.add("1234", 1234, "-", nullptr));
    SiaCodeMap codes;
    Wire wire;
    std::vector<Report> reports;
    Dc09Limits limits;
    limits.connectionsPerAddress = 1;
    Dc09Receiver receiver({wire, intake, accounts, codes, Dc09Policy{}, limits,
                           [&](const Report& r) { reports.push_back(r); }, {}, {}});
    QtDc09Sockets sockets({[&](int c, const std::string& a) { return receiver.opened(c, a, 0); },
                           [&](int c, std::string_view b) { receiver.arrived(c, b, 0); },
                           [&](int c) { receiver.closed(c); },
                           [&](const std::string& a, uint16_t p, std::string_view b) { receiver.datagram(a, p, b); }});
    wire.sockets = &sockets;
    std::string error;
    ASSERT_TRUE(sockets.listen(0, &error)) << error;
    const uint16_t port = sockets.tcpPort();

    const int64_t now = QDateTime::currentSecsSinceEpoch();
    const std::string tcpFrame = dc09Wrap("\"SIA-DCS\"0001L0#1234[NBA01]" + dc09TimeText(now));
    const std::string udpFrame = dc09Wrap("\"ADM-CID\"0002L0#1234[1110 01 002]" + dc09TimeText(now));

    QTcpSocket panel;
    panel.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(panel.waitForConnected(3000));
    panel.write(tcpFrame.data(), static_cast<qint64>(tcpFrame.size()));
    QUdpSocket udpPanel;
    ASSERT_TRUE(udpPanel.bind(QHostAddress::LocalHost, 0));
    udpPanel.writeDatagram(udpFrame.data(), static_cast<qint64>(udpFrame.size()), QHostAddress::LocalHost, port);
    QTcpSocket second; // the same address over its limit of one
    second.connectToHost(QHostAddress::LocalHost, port);

    std::string tcpAnswer, udpAnswer;
    bool secondClosed = false;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000 && (tcpAnswer.empty() || udpAnswer.empty() || !secondClosed)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        receiver.serve(0, QDateTime::currentSecsSinceEpoch());
        const QByteArray got = panel.readAll();
        tcpAnswer.append(got.constData(), static_cast<size_t>(got.size()));
        while (udpPanel.hasPendingDatagrams()) {
            QByteArray d(static_cast<int>(udpPanel.pendingDatagramSize()), '\0');
            udpPanel.readDatagram(d.data(), d.size());
            udpAnswer.assign(d.constData(), static_cast<size_t>(d.size()));
        }
        secondClosed = second.state() == QAbstractSocket::UnconnectedState;
    }
    EXPECT_EQ(tcpAnswer, dc09Wrap("\"ACK\"0001L0#1234[]"));
    EXPECT_EQ(udpAnswer, dc09Wrap("\"ACK\"0002L0#1234[]"));
    EXPECT_TRUE(secondClosed);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(intake.taken, 2);
    EXPECT_EQ(reports[1].code, 0x110);
}

} // namespace
} // namespace k4

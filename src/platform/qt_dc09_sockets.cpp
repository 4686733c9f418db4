#include "platform/qt_dc09_sockets.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

namespace k4 {

namespace {
std::string addressText(const QHostAddress& a) {
    // An IPv4 sender over a dual-stack socket reads as "::ffff:a.b.c.d".
    bool v4 = false;
    const quint32 ip = a.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip).toString().toStdString() : a.toString().toStdString();
}
} // namespace

QtDc09Sockets::QtDc09Sockets(Handlers handlers) : h_(std::move(handlers)) {}

QtDc09Sockets::~QtDc09Sockets() { shutdown(); }

bool QtDc09Sockets::listen(uint16_t port, std::string* error) {
    shutdown();
    server_ = std::make_unique<QTcpServer>();
    if (!server_->listen(QHostAddress::Any, port)) {
        if (error) *error = "TCP: " + server_->errorString().toStdString();
        server_.reset();
        return false;
    }
    udp_ = std::make_unique<QUdpSocket>();
    if (!udp_->bind(QHostAddress::Any, server_->serverPort())) {
        if (error) *error = "UDP: " + udp_->errorString().toStdString();
        udp_.reset();
        server_.reset();
        return false;
    }
    QObject::connect(server_.get(), &QTcpServer::newConnection, [this] { accept(); });
    QObject::connect(udp_.get(), &QUdpSocket::readyRead, [this] { readDatagrams(); });
    return true;
}

uint16_t QtDc09Sockets::tcpPort() const { return server_ ? server_->serverPort() : 0; }

void QtDc09Sockets::shutdown() {
    for (auto& [id, socket] : sockets_) {
        socket->disconnect();
        socket->abort();
        socket->deleteLater();
    }
    sockets_.clear();
    udp_.reset();
    server_.reset();
}

void QtDc09Sockets::accept() {
    while (server_ && server_->hasPendingConnections()) {
        QTcpSocket* socket = server_->nextPendingConnection();
        const int id = nextId_++;
        if (!h_.opened(id, addressText(socket->peerAddress()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        sockets_[id] = socket;
        socket->setReadBufferSize(kBytesPerRead * 4);
        QObject::connect(socket, &QTcpSocket::readyRead, [this, id, socket] {
            // One bounded read per notification; the rest comes with the next.
            const QByteArray bytes = socket->read(kBytesPerRead);
            if (!bytes.isEmpty()) h_.arrived(id, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
            if (sockets_.count(id) && socket->bytesAvailable() > 0)
                QMetaObject::invokeMethod(socket, "readyRead", Qt::QueuedConnection);
        });
        QObject::connect(socket, &QTcpSocket::disconnected, [this, id, socket] {
            if (sockets_.erase(id)) h_.closed(id);
            socket->deleteLater();
        });
    }
}

void QtDc09Sockets::readDatagrams() {
    for (int n = 0; udp_ && n < kDatagramsPerWakeup && udp_->hasPendingDatagrams(); ++n) {
        const QNetworkDatagram d = udp_->receiveDatagram(2048);
        const QByteArray bytes = d.data();
        h_.datagram(addressText(d.senderAddress()), static_cast<uint16_t>(d.senderPort()),
                    std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    }
    if (udp_ && udp_->hasPendingDatagrams())
        QMetaObject::invokeMethod(udp_.get(), [this] { readDatagrams(); }, Qt::QueuedConnection);
}

void QtDc09Sockets::takeWaitingDatagrams() {
    if (udp_ && udp_->hasPendingDatagrams()) readDatagrams();
}

void QtDc09Sockets::send(int connection, std::string_view bytes) {
    const auto it = sockets_.find(connection);
    if (it == sockets_.end()) return;
    it->second->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtDc09Sockets::close(int connection) {
    const auto it = sockets_.find(connection);
    if (it == sockets_.end()) return;
    QTcpSocket* socket = it->second;
    sockets_.erase(it);
    socket->disconnect();
    socket->abort();
    socket->deleteLater();
}

void QtDc09Sockets::sendDatagram(const std::string& address, uint16_t port, std::string_view bytes) {
    if (!udp_) return;
    udp_->writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), QHostAddress(QString::fromStdString(address)), port);
}

} // namespace k4

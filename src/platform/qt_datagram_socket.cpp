#include "platform/qt_datagram_socket.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

namespace k4 {

namespace {

std::string dottedOf(const QHostAddress& address) {
    bool ok = false;
    const quint32 v = address.toIPv4Address(&ok);
    if (!ok) return address.toString().toStdString();
    return std::to_string((v >> 24) & 0xFF) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

} // namespace

QtDatagramSocket::QtDatagramSocket() : socket_(std::make_unique<QUdpSocket>()) {
    QObject::connect(socket_.get(), &QUdpSocket::readyRead, [this] {
        if (arrival_) arrival_();
    });
}

QtDatagramSocket::~QtDatagramSocket() { socket_->disconnect(); }

bool QtDatagramSocket::bind(const std::string& address, uint16_t port) {
    close();
    const QHostAddress on = address.empty() ? QHostAddress(QHostAddress::AnyIPv4)
                                            : QHostAddress(QString::fromStdString(address));
    if (on.isNull()) {
        error_ = "nieprawidłowy adres " + address;
        return false;
    }
    if (!socket_->bind(on, port)) {
        error_ = socket_->errorString().toStdString();
        return false;
    }
    boundAddress_ = address;
    hostAddresses_.clear();
    if (address.empty())
        for (const QHostAddress& a : QNetworkInterface::allAddresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol) hostAddresses_.push_back(dottedOf(a));
    error_.clear();
    return true;
}

void QtDatagramSocket::close() {
    if (socket_->state() != QAbstractSocket::UnconnectedState) socket_->close();
}

bool QtDatagramSocket::isBound() const { return socket_->state() == QAbstractSocket::BoundState; }

void QtDatagramSocket::setArrivalHandler(std::function<void()> handler) { arrival_ = std::move(handler); }

bool QtDatagramSocket::sendDatagram(const std::string& host, uint16_t port, std::span<const uint8_t> bytes) {
    const QHostAddress to(QString::fromStdString(host));
    if (to.isNull() || to.protocol() != QAbstractSocket::IPv4Protocol) {
        error_ = "nieprawidłowy adres " + host;
        return false;
    }
    if (!isBound()) {
        error_ = "gniazdo nie jest otwarte";
        return false;
    }
    const qint64 sent = socket_->writeDatagram(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<qint64>(bytes.size()), to, port);
    if (sent != static_cast<qint64>(bytes.size())) {
        error_ = socket_->errorString().toStdString();
        return false;
    }
    return true;
}

std::optional<ReceivedDatagram> QtDatagramSocket::receive() {
    while (socket_->hasPendingDatagrams()) {
        const qint64 size = socket_->pendingDatagramSize();
        // A datagram longer than the buffer is read in part, the rest
        // dropped by the socket; its whole size still tells it was long.
        QNetworkDatagram d = socket_->receiveDatagram(static_cast<qint64>(kReadBuffer));
        if (!d.isValid()) continue;
        ReceivedDatagram r;
        const QByteArray data = d.data();
        r.bytes.assign(data.begin(), data.end());
        r.size = size < 0 ? r.bytes.size() : static_cast<size_t>(size);
        r.sender = dottedOf(d.senderAddress());
        r.senderPort = static_cast<uint16_t>(d.senderPort() < 0 ? 0 : d.senderPort());
        return r;
    }
    return std::nullopt;
}

bool QtDatagramSocket::isOwnAddress(const std::string& address) const {
    if (!boundAddress_.empty()) return address == boundAddress_;
    if (address.rfind("127.", 0) == 0) return true;
    for (const std::string& a : hostAddresses_)
        if (a == address) return true;
    return false;
}

void QtEventPump::runFor(int ms) {
    QEventLoop loop;
    QEventLoop* outer = loop_;
    loop_ = &loop;
    QTimer::singleShot(ms < 0 ? 0 : ms, &loop, &QEventLoop::quit);
    loop.exec();
    loop_ = outer;
}

void QtEventPump::wake() {
    if (loop_) loop_->quit();
}

} // namespace k4

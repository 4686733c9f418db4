#include "platform/qt_datagram_socket.h"

#include <QEventLoop>
#include <QHostAddress>
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
    // The datagrams are taken from the socket in its own notification and
    // wait in a bounded queue; beyond it they stay in the system's buffer
    // until the queue drains.
    QObject::connect(socket_.get(), &QUdpSocket::readyRead, [this] { drain(); });
    // Qt stops notifying an unbuffered UDP socket after a notification that
    // found nothing to read (its "data pending" mark stays set until the
    // next read), so a datagram could wait unseen. A look every 100 ms
    // reads what waits and wakes the notification again.
    watch_ = std::make_unique<QTimer>();
    watch_->setInterval(kWatchMs);
    QObject::connect(watch_.get(), &QTimer::timeout, [this] {
        if (socket_->hasPendingDatagrams()) drain();
    });
}

void QtDatagramSocket::drain() {
    while (waiting_.size() < kMaxWaiting) {
        auto d = readOne();
        if (!d) break;
        waiting_.push_back(std::move(*d));
    }
    if (!waiting_.empty() && arrival_) arrival_();
}

QtDatagramSocket::~QtDatagramSocket() {
    watch_->stop();
    socket_->disconnect();
}

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
    watch_->start();
    hostAddresses_.clear();
    if (address.empty())
        for (const QHostAddress& a : QNetworkInterface::allAddresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol) hostAddresses_.push_back(dottedOf(a));
    error_.clear();
    return true;
}

void QtDatagramSocket::close() {
    waiting_.clear();
    if (watch_) watch_->stop();
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
    if (!waiting_.empty()) {
        ReceivedDatagram d = std::move(waiting_.front());
        waiting_.pop_front();
        return d;
    }
    return readOne();
}

std::optional<ReceivedDatagram> QtDatagramSocket::readOne() {
    if (!socket_->hasPendingDatagrams()) return std::nullopt;
    const qint64 size = socket_->pendingDatagramSize();
    // A datagram longer than the buffer is read in part, the rest dropped
    // by the socket; its whole size still tells it was long.
    ReceivedDatagram r;
    r.bytes.resize(kReadBuffer);
    QHostAddress from;
    quint16 port = 0;
    const qint64 n = socket_->readDatagram(reinterpret_cast<char*>(r.bytes.data()), static_cast<qint64>(kReadBuffer),
                                           &from, &port);
    if (n < 0) return std::nullopt;
    r.bytes.resize(static_cast<size_t>(n));
    r.size = size < 0 ? r.bytes.size() : static_cast<size_t>(size);
    r.sender = dottedOf(from);
    r.senderPort = port;
    return r;
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

#include "platform/qt_serial_line.h"

#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace k4 {

namespace {
// 100 ms a byte plus a second, as the base link has always allowed.
constexpr int kWriteTimeoutMs = 1100;
} // namespace

namespace {
bool isPseudoTerminal(const std::string& device) {
    char resolved[PATH_MAX];
    if (!::realpath(device.c_str(), resolved)) return false;
    return std::string(resolved).rfind("/dev/pts/", 0) == 0;
}
} // namespace

QtSerialLine::QtSerialLine() : port_(std::make_unique<QSerialPort>()) {}

QtSerialLine::~QtSerialLine() { close(); }

bool QtSerialLine::configure() {
    bool ok = port_->setBaudRate(baudRate_) && port_->setDataBits(QSerialPort::Data8);
    // A pseudo-terminal (the simulator's line) keeps no parity and refuses
    // it; on a real port every setting must take.
    const bool framing = port_->setParity(QSerialPort::EvenParity) &&
                         port_->setStopBits(QSerialPort::OneStop) &&
                         port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!framing && !isPseudoTerminal(device_)) ok = false;
    if (!ok) error_ = port_->errorString().toStdString();
    // DTR and RTS are held off. A pseudo-terminal has no modem lines and
    // answers "Inappropriate ioctl for device"; that is no fault of the line.
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(false);
    port_->clearError();
    return ok;
}

bool QtSerialLine::open(const std::string& device, int baudRate) {
    close();
    device_ = device;
    baudRate_ = baudRate;
    lost_ = false;
    port_->setPortName(QString::fromStdString(device));
    if (!port_->open(QIODevice::ReadWrite)) {
        noteReadError();
        port_->clearError();
        return false;
    }
    if (!configure()) {
        errorPending_ = true;
        port_->close();
        return false;
    }
    return true;
}

void QtSerialLine::close() {
    if (port_->isOpen()) port_->close();
    lost_ = false;
}

bool QtSerialLine::isOpen() const { return port_->isOpen() || lost_; }

bool QtSerialLine::isConnected() {
    if (lost_) {
        // The adapter may be back: reopen it on the same settings.
        port_->setPortName(QString::fromStdString(device_));
        if (port_->open(QIODevice::ReadWrite) && configure()) {
            lost_ = false;
            return true;
        }
        port_->clearError();
        return false;
    }
    return port_->isOpen();
}

void QtSerialLine::noteReadError() {
    error_ = port_->errorString().toStdString();
    const auto error = port_->error();
    // A device that fails its reads has gone away (a pulled USB adapter, a
    // simulator that hung up): the line is no longer connected and is tried
    // again later. Anything else is an error of the line.
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) && port_->isOpen()) {
        port_->close();
        lost_ = true;
        return;
    }
    errorPending_ = true;
}

std::optional<uint8_t> QtSerialLine::readByteWithin(int ms) {
    if (!port_->isOpen()) return std::nullopt;
    // What Qt has already taken from the device is there at once; otherwise
    // the device is asked, waiting no longer than ms (0: only asked).
    if (port_->bytesAvailable() == 0 && !port_->waitForReadyRead(ms)) {
        if (port_->error() != QSerialPort::NoError && port_->error() != QSerialPort::TimeoutError)
            noteReadError();
        port_->clearError();
        return std::nullopt;
    }
    char byte = 0;
    if (port_->read(&byte, 1) != 1) {
        noteReadError();
        port_->clearError();
        return std::nullopt;
    }
    return static_cast<uint8_t>(byte);
}

bool QtSerialLine::writeByte(uint8_t byte) {
    if (!port_->isOpen()) return false;
    const char c = static_cast<char>(byte);
    // Qt may hand the byte to the device at once; only a byte still queued
    // is waited for.
    if (port_->write(&c, 1) == 1 && (port_->bytesToWrite() == 0 || port_->waitForBytesWritten(kWriteTimeoutMs)))
        return true;
    error_ = port_->errorString().toStdString();
    if (port_->error() == QSerialPort::ResourceError) {
        // The device has gone: the reads find it out and say so.
        port_->clearError();
        return false;
    }
    // A far end that holds the line (flow control, a full buffer) must not
    // get this byte later, in the middle of whatever is sent next.
    port_->clear(QSerialPort::Output);
    port_->clearError();
    return false;
}

void QtSerialLine::setArrivalHandler(ArrivalHandler handler) {
    arrival_ = std::move(handler);
    if (watching_) return;
    watching_ = true;
    QObject::connect(port_.get(), &QSerialPort::readyRead, port_.get(), [this] {
        if (arrival_) arrival_();
    });
}

void QtSerialLine::clearInput() {
    if (!port_->isOpen()) return;
    port_->clear(QSerialPort::Input);
    // Qt keeps its own buffer of what was already read from the device.
    port_->readAll();
}

bool QtSerialLine::takeError() {
    const bool pending = errorPending_;
    errorPending_ = false;
    return pending;
}

std::optional<std::vector<std::string>> SystemSerialPortList::fromEnvironment() {
    const char* list = std::getenv("KESTREL4_SERIAL_PORTS");
    if (!list) return std::nullopt;
    std::vector<std::string> ports;
    std::string text(list);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(':', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) ports.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return ports;
}

std::vector<std::string> SystemSerialPortList::presentPorts() {
    // An explicit list keeps every device at its number, present or not, so
    // a missing adapter can never shift another device onto its number.
    if (auto listed = fromEnvironment()) return *listed;

    std::vector<std::string> names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names.push_back(info.systemLocation().toStdString());
    std::sort(names.begin(), names.end());

    // A port is present when it opens, or when it exists but is busy or
    // closed to us.
    std::vector<std::string> present;
    for (const auto& name : names) {
        QSerialPort probe(QString::fromStdString(name));
        if (probe.open(QIODevice::ReadWrite)) {
            probe.close();
            present.push_back(name);
        } else if (probe.error() == QSerialPort::PermissionError ||
                   probe.error() == QSerialPort::OpenError) {
            present.push_back(name);
        }
    }
    return present;
}

} // namespace k4

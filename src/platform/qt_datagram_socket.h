#pragma once
// UDP endpoints through Qt Network, and the event pump of a wait.
#include "platform/datagram_socket.h"

#include <deque>
#include <memory>

class QUdpSocket;
class QEventLoop;
class QTimer;

namespace k4 {

class QtDatagramSocket final : public DatagramEndpoint {
public:
    QtDatagramSocket();
    ~QtDatagramSocket() override;

    bool sendDatagram(const std::string& host, uint16_t port, std::span<const uint8_t> bytes) override;
    bool bind(const std::string& address, uint16_t port) override;
    void close() override;
    bool isBound() const override;
    std::string errorText() const override { return error_; }
    void setArrivalHandler(std::function<void()> handler) override;
    std::optional<ReceivedDatagram> receive() override;
    bool isOwnAddress(const std::string& address) const override;

private:
    static constexpr size_t kMaxWaiting = 512;
    static constexpr int kWatchMs = 100;
    std::optional<ReceivedDatagram> readOne();
    void drain();

    std::unique_ptr<QUdpSocket> socket_;
    std::deque<ReceivedDatagram> waiting_;
    std::unique_ptr<QTimer> watch_;
    std::string boundAddress_;
    std::vector<std::string> hostAddresses_; // when bound to all
    std::function<void()> arrival_;
    std::string error_;
};

class QtEventPump final : public EventPump {
public:
    void runFor(int ms) override;
    void wake() override;

private:
    QEventLoop* loop_ = nullptr;
};

} // namespace k4

#pragma once
// The sockets of the IP panels' receiver: a TCP server and a UDP socket on
// one port, Qt Network on the station's event loop. What arrives is handed
// to the receiver as it comes; the receiver's answers go out through here.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class QTcpServer;
class QTcpSocket;
class QUdpSocket;

namespace k4 {

class QtDc09Sockets {
public:
    struct Handlers {
        std::function<bool(int connection, const std::string& address)> opened;
        std::function<void(int connection, std::string_view bytes)> arrived;
        std::function<void(int connection)> closed;
        std::function<void(const std::string& address, uint16_t port, std::string_view bytes)> datagram;
    };
    // Reads per notification: a flood cannot hold the event loop.
    static constexpr int kDatagramsPerWakeup = 64;
    static constexpr int64_t kBytesPerRead = 4096;

    explicit QtDc09Sockets(Handlers handlers);
    ~QtDc09Sockets();

    // Listens on the port on every address, TCP and UDP. The reason (in
    // English, from the system) when either cannot be opened.
    bool listen(uint16_t port, std::string* error);
    void shutdown();
    uint16_t tcpPort() const;

    void send(int connection, std::string_view bytes);
    void close(int connection);
    void sendDatagram(const std::string& address, uint16_t port, std::string_view bytes);
    // Every tick: datagrams the socket holds are taken even when no
    // notification came for them (a flood can leave the notifier off with
    // datagrams waiting in the system's buffer); bounded like a wakeup.
    void takeWaitingDatagrams();

private:
    void accept();
    void readDatagrams();

    Handlers h_;
    std::unique_ptr<QTcpServer> server_;
    std::unique_ptr<QUdpSocket> udp_;
    std::map<int, QTcpSocket*> sockets_;
    int nextId_ = 1;
};

} // namespace k4

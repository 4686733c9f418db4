#pragma once
// A panel's socket towards the centre, TCP or UDP, plain POSIX so that the
// simulator needs no event loop: it sends a frame and waits, within a
// bound, for the answer frame (LF .. CR) or the answer datagram.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace k4::sim {

class Dc09Socket {
public:
    Dc09Socket() = default;
    ~Dc09Socket() { close(); }
    Dc09Socket(const Dc09Socket&) = delete;
    Dc09Socket& operator=(const Dc09Socket&) = delete;
    Dc09Socket(Dc09Socket&& other) noexcept { *this = std::move(other); }
    Dc09Socket& operator=(Dc09Socket&& other) noexcept;

    // TCP: connected (or connecting when wait is false); UDP: bound to
    // source (any address when empty) and aimed at the station.
    bool open(bool udp, const std::string& station, uint16_t port, const std::string& source, std::string& error,
              bool wait = true);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    bool udp() const { return udp_; }
    int fd() const { return fd_; }

    bool send(std::string_view bytes, std::string& error);
    // The next answer within ms; empty on a timeout (error then says why,
    // or the connection was closed).
    std::string receiveFrame(int ms, const std::atomic<bool>* stop, std::string& error);
    // What is there to read now, without waiting: false when the peer closed.
    bool readAvailable(std::string& error);
    // A whole frame already read, or empty.
    std::string takeFrame();

private:
    int fd_ = -1;
    bool udp_ = false;
    std::string buffer_;
};

void sleepDc09Ms(int ms, const std::atomic<bool>* stop);

} // namespace k4::sim

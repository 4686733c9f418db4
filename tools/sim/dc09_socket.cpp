#include "sim/dc09_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace k4::sim {

namespace {

bool address(const std::string& text, uint16_t port, sockaddr_in& out) {
    out = sockaddr_in{};
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    return ::inet_pton(AF_INET, text.c_str(), &out.sin_addr) == 1;
}

int64_t msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

Dc09Socket& Dc09Socket::operator=(Dc09Socket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        udp_ = other.udp_;
        buffer_ = std::move(other.buffer_);
        other.fd_ = -1;
    }
    return *this;
}

bool Dc09Socket::open(bool udp, const std::string& station, uint16_t port, const std::string& source, std::string& error,
                      bool wait) {
    close();
    udp_ = udp;
    sockaddr_in to{}, from{};
    if (!address(station, port, to)) {
        error = "zły adres stacji " + station;
        return false;
    }
    if (!address(source.empty() ? "0.0.0.0" : source, 0, from)) {
        error = "zły adres źródłowy " + source;
        return false;
    }
    fd_ = ::socket(AF_INET, (udp ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) {
        error = std::string("gniazdo: ") + std::strerror(errno);
        close();
        return false;
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) {
        error = std::string("połączenie: ") + std::strerror(errno);
        close();
        return false;
    }
    if (udp || !wait) return true;
    pollfd p{fd_, POLLOUT, 0};
    int soError = 0;
    socklen_t length = sizeof soError;
    if (::poll(&p, 1, 3000) != 1 || ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &soError, &length) != 0 || soError != 0) {
        error = std::string("połączenie: ") + (soError ? std::strerror(soError) : "brak odpowiedzi");
        close();
        return false;
    }
    return true;
}

void Dc09Socket::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    buffer_.clear();
}

bool Dc09Socket::send(std::string_view bytes, std::string& error) {
    size_t done = 0;
    const auto start = std::chrono::steady_clock::now();
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && msSince(start) < 3000) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        error = std::string("wysyłanie: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool Dc09Socket::readAvailable(std::string& error) {
    char chunk[2048];
    for (;;) {
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n > 0) {
            if (udp_) {
                // One datagram is one answer: anything unfinished before it goes.
                buffer_.assign(chunk, static_cast<size_t>(n));
                return true;
            }
            buffer_.append(chunk, static_cast<size_t>(n));
            continue;
        }
        if (n == 0) {
            if (udp_) return true; // an empty datagram answers nothing
            error = "stacja zamknęła połączenie";
            return false;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        if (n < 0 && errno == EINTR) continue;
        error = std::string("odbiór: ") + std::strerror(errno);
        return false;
    }
}

std::string Dc09Socket::takeFrame() {
    if (udp_) {
        std::string d;
        d.swap(buffer_);
        return d;
    }
    const size_t lf = buffer_.find('\n');
    if (lf == std::string::npos) return {};
    const size_t cr = buffer_.find('\r', lf);
    if (cr == std::string::npos) return {};
    std::string frame = buffer_.substr(lf, cr + 1 - lf);
    buffer_.erase(0, cr + 1);
    return frame;
}

std::string Dc09Socket::receiveFrame(int ms, const std::atomic<bool>* stop, std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (std::string frame = takeFrame(); !frame.empty()) return frame;
        const int64_t left = ms - msSince(start);
        if (left <= 0 || (stop && *stop)) {
            error = "czas minął";
            return {};
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::min<int64_t>(left, 100))) <= 0) continue;
        if (!readAvailable(error)) {
            if (std::string frame = takeFrame(); !frame.empty()) return frame;
            return {};
        }
    }
}

void sleepDc09Ms(int ms, const std::atomic<bool>* stop) {
    const auto start = std::chrono::steady_clock::now();
    while (msSince(start) < ms && !(stop && *stop)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

} // namespace k4::sim

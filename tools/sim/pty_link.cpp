#include "sim/pty_link.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace k4::sim {

PtyLink::~PtyLink() {
    if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
    if (slaveKeeper_ >= 0) ::close(slaveKeeper_);
    if (master_ >= 0) ::close(master_);
}

bool PtyLink::create(const std::string& linkPath, std::string& error) {
    // Only an old link of ours is replaced: a link named like a data file
    // ("dane") must never take that file's place.
    struct stat existing {};
    if (::lstat(linkPath.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        error = linkPath + " istnieje i nie jest dowiązaniem: nie zostanie zastąpiony";
        return false;
    }
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = std::string("pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ::ptsname(master_);
    if (!name) {
        error = std::string("ptsname: ") + std::strerror(errno);
        return false;
    }
    slaveName_ = name;
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation.
    slaveKeeper_ = ::open(slaveName_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeeper_ >= 0) {
        termios tio{};
        if (::tcgetattr(slaveKeeper_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slaveKeeper_, TCSANOW, &tio);
        }
    }
    ::unlink(linkPath.c_str());
    if (::symlink(slaveName_.c_str(), linkPath.c_str()) != 0) {
        error = "symlink " + linkPath + ": " + std::strerror(errno);
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

std::chrono::microseconds PtyLink::byteTime() const {
    // A start bit, eight data bits, the parity bit and a stop bit.
    return baud_ > 0 ? std::chrono::microseconds(11'000'000 / baud_) : std::chrono::microseconds(0);
}

bool PtyLink::write(const std::vector<uint8_t>& bytes) {
    // A pseudo-terminal has no speed of its own: the bytes are let out one
    // byte time apart, counted from the first so that sleeping late does not
    // slow the line down.
    const auto each = byteTime();
    const auto began = std::chrono::steady_clock::now();
    size_t done = 0;
    while (done < bytes.size()) {
        size_t count = bytes.size() - done;
        if (each.count() > 0) {
            std::this_thread::sleep_until(began + each * static_cast<int64_t>(done + 1));
            count = 1;
        }
        ssize_t n = ::write(master_, bytes.data() + done, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::optional<uint8_t> PtyLink::read(std::chrono::milliseconds timeout) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0 || !(p.revents & POLLIN)) return std::nullopt;
    uint8_t b = 0;
    if (::read(master_, &b, 1) != 1) return std::nullopt;
    return b;
}

std::vector<uint8_t> PtyLink::readUntilQuiet(std::chrono::milliseconds first, std::chrono::milliseconds quiet) {
    std::vector<uint8_t> bytes;
    auto b = read(first);
    while (b) {
        bytes.push_back(*b);
        b = read(quiet);
    }
    return bytes;
}

std::vector<uint8_t> PtyLink::readAnswer(std::chrono::milliseconds timeout) {
    std::vector<uint8_t> answer;
    const auto first = read(timeout);
    if (!first) return answer;
    answer.push_back(*first);
    if (*first == 0x0A || *first == 0x0E) {
        if (const auto end = read(timeout)) answer.push_back(*end);
    }
    // On a real line the last byte is only in when its own time has passed.
    if (byteTime().count() > 0) std::this_thread::sleep_for(byteTime());
    return answer;
}

} // namespace k4::sim

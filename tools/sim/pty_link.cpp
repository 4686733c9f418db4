#include "sim/pty_link.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
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

bool PtyLink::write(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
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

} // namespace k4::sim

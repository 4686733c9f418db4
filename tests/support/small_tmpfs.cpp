#include "support/small_tmpfs.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace k4::test {

namespace {

// Once per process: our own mount namespace, private, so that the mounts of
// the tests never reach the machine's.
bool ownMountNamespace(std::string& error) {
    static int result = [] {
        if (::unshare(CLONE_NEWNS) != 0) return errno;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return errno;
        return 0;
    }();
    if (result != 0) error = std::string("unshare/mount: ") + std::strerror(result);
    return result == 0;
}

} // namespace

SmallTmpfs::SmallTmpfs(uint64_t bytes) : bytes_(bytes) {
    if (!ownMountNamespace(error_)) return;
    const std::string options = "size=" + std::to_string(bytes_);
    if (::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, options.c_str()) != 0) {
        error_ = std::string("mount tmpfs: ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
}

SmallTmpfs::~SmallTmpfs() {
    if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
}

void SmallTmpfs::fill() {
    const int fd = ::open((path() + "/zapchaj").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    char block[4096];
    std::memset(block, 0x55, sizeof block);
    // Whole pages first, then single bytes into what is left of the last one.
    while (::write(fd, block, sizeof block) > 0) {
    }
    while (::write(fd, block, 1) > 0) {
    }
    ::close(fd);
}

void SmallTmpfs::free() { ::unlink((path() + "/zapchaj").c_str()); }

bool SmallTmpfs::setReadOnly(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    const std::string options = "size=" + std::to_string(bytes_);
    return ::mount("tmpfs", path().c_str(), "tmpfs", flags, options.c_str()) == 0;
}

} // namespace k4::test

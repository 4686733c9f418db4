#include "platform/file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace k4 {

namespace {
std::string directoryOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

void syncDirectoryOf(const std::string& path) {
    int dfd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

bool setError(std::string* error, const std::string& what, const std::string& path) {
    if (error) *error = what + " " + path + ": " + std::strerror(errno);
    return false;
}
} // namespace

File::~File() { close(); }

File::File(File&& other) noexcept
    : fd_(other.fd_), position_(other.position_), path_(std::move(other.path_)),
      error_(std::move(other.error_)), errno_(other.errno_) {
    syncsDeferred_ = other.syncsDeferred_;
    syncOwed_ = other.syncOwed_;
    other.fd_ = -1;
    other.syncOwed_ = false;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        position_ = other.position_;
        path_ = std::move(other.path_);
        error_ = std::move(other.error_);
        errno_ = other.errno_;
        syncsDeferred_ = other.syncsDeferred_;
        syncOwed_ = other.syncOwed_;
        other.fd_ = -1;
        other.syncOwed_ = false;
    }
    return *this;
}

bool File::fail(const char* what) {
    errno_ = errno;
    error_ = std::string(what) + " " + path_ + ": " + std::strerror(errno);
    return false;
}

bool File::open(const std::string& path, Mode mode) {
    close();
    path_ = path;
    position_ = 0;
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::ReadOnly: flags |= O_RDONLY; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::ReadWriteCreate: flags |= O_RDWR | O_CREAT; break;
    }
    fd_ = ::open(path.c_str(), flags, 0644);
    if (fd_ < 0) return fail("open");
    if (mode == Mode::ReadWriteCreate) {
        // A newly created name is durable only once its directory is synced.
        syncDirectoryOf(path);
    }
    return true;
}

void File::close() {
    if (fd_ >= 0 && syncOwed_) ::fdatasync(fd_);
    syncOwed_ = false;
    syncsDeferred_ = false;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool File::deferSyncs(bool deferred) {
    syncsDeferred_ = deferred;
    if (deferred || !syncOwed_) return true;
    return sync();
}

int64_t File::readSomeAt(int64_t offset, void* data, size_t size) {
    if (fd_ < 0 || offset < 0) return -1;
    size_t done = 0;
    auto* p = static_cast<char*>(data);
    while (done < size) {
        ssize_t n = ::pread(fd_, p + done, size - done, offset + static_cast<int64_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("read");
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

bool File::readAt(int64_t offset, void* data, size_t size) {
    int64_t n = readSomeAt(offset, data, size);
    if (n < 0) return false;
    if (static_cast<size_t>(n) != size) {
        error_ = "short read " + path_;
        return false;
    }
    return true;
}

bool File::writeAtNoSync(int64_t offset, const void* data, size_t size) {
    if (fd_ < 0 || offset < 0) return false;
    size_t done = 0;
    auto* p = static_cast<const char*>(data);
    while (done < size) {
        ssize_t n = ::pwrite(fd_, p + done, size - done, offset + static_cast<int64_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("write");
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool File::writeAt(int64_t offset, const void* data, size_t size) {
    return writeAtNoSync(offset, data, size) && sync();
}

bool File::sync() {
    if (fd_ < 0) return false;
    if (syncsDeferred_) {
        syncOwed_ = true;
        return true;
    }
    syncOwed_ = false;
    if (::fdatasync(fd_) != 0) return fail("sync");
    return true;
}

bool File::truncate(int64_t size) { return resizeNoSync(size) && sync(); }

bool File::resizeNoSync(int64_t size) {
    if (fd_ < 0 || size < 0) return false;
    if (::ftruncate(fd_, size) != 0) return fail("truncate");
    return true;
}

int64_t File::size() {
    if (fd_ < 0) return -1;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        fail("stat");
        return -1;
    }
    return st.st_size;
}

bool File::stillAtItsPath() {
    if (fd_ < 0) return false;
    struct stat open {};
    struct stat named {};
    if (::fstat(fd_, &open) != 0) return fail("stat");
    if (open.st_nlink == 0) return false;
    if (::stat(path_.c_str(), &named) != 0) return fail("stat");
    return named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

bool replaceFileDurably(const std::string& path, std::string_view data, std::string* error) {
    const std::string temp = path + ".new";
    mode_t modeBits = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) modeBits = st.st_mode & 07777;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, modeBits);
    if (fd < 0) return setError(error, "open", temp);
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            setError(error, "write", temp);
            ::close(fd);
            ::unlink(temp.c_str());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) {
        setError(error, "sync", temp);
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    ::close(fd);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        setError(error, "rename", temp);
        ::unlink(temp.c_str());
        return false;
    }
    syncDirectoryOf(path);
    return true;
}

bool readWholeFile(const std::string& path, std::string& data, std::string* error) {
    File f;
    if (!f.open(path, File::Mode::ReadOnly)) {
        if (error) *error = f.errorText();
        return false;
    }
    int64_t size = f.size();
    if (size < 0) {
        if (error) *error = f.errorText();
        return false;
    }
    data.resize(static_cast<size_t>(size));
    int64_t n = f.readSomeAt(0, data.data(), data.size());
    if (n < 0) {
        if (error) *error = f.errorText();
        return false;
    }
    data.resize(static_cast<size_t>(n));
    return true;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool renameDurably(const std::string& from, const std::string& to, std::string* error) {
    if (::rename(from.c_str(), to.c_str()) != 0) return setError(error, "rename", from);
    syncDirectoryOf(to);
    return true;
}

} // namespace k4

#include "maintenance/file_copy.h"

#include "database/text_edge.h"
#include "maintenance/backup_set.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace k4 {

namespace {

const char* const kAbandoned = "Kopiowanie zostaje porzucone.";
const char* const kOtherDisk = "Włóż inną dyskietkę.";
const char* const kNextDisk = "Włóż kolejną dyskietkę.";
// A file changed by a report served in the middle of its copy is copied
// again; after this many tries the rest goes without serving the inputs.
constexpr int kCopyRestarts = 3;
// An operator who keeps giving the wrong medium is asked this many times.
constexpr int kMissingPartTries = 10;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Closes and tells whether the last writes were accepted.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

class Suspension {
public:
    explicit Suspension(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Suspension() { flag_ = was_; }

private:
    bool& flag_;
    bool was_;
};

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new name in a directory is durable once the directory is synced.
bool syncDirectory(const std::string& dir) {
    Descriptor d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!d.ok()) return false;
    // Some removable file systems take no fsync of a directory; their
    // names are written with the file's own sync.
    return ::fsync(d.get()) == 0 || errno == EINVAL || errno == ENOTSUP;
}

int createTarget(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

// Writes all of data; the bytes written before a failure in written.
bool writeAll(int fd, const uint8_t* data, size_t size, size_t& written) {
    written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

bool readFully(int fd, int64_t offset, uint8_t* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, data + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO; // the file became shorter under the copy
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

struct SourceState {
    int64_t size = -1;
    int64_t modifiedNs = 0;
    bool operator==(const SourceState&) const = default;
};

SourceState stateOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {};
    return {static_cast<int64_t>(st.st_size),
            static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool sameContents(int source, const std::string& copyPath, int64_t size) {
    Descriptor copy(::open(copyPath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!copy.ok() || ::fstat(copy.get(), &st) != 0 || st.st_size != size ||
        stateOf(source).size != size)
        return false;
    std::vector<uint8_t> a(kCopyBlock), b(kCopyBlock);
    for (int64_t at = 0; at < size;) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(kCopyBlock), size - at));
        if (!readFully(source, at, a.data(), n) || !readFully(copy.get(), at, b.data(), n)) return false;
        if (std::memcmp(a.data(), b.data(), n) != 0) return false;
        at += static_cast<int64_t>(n);
    }
    return true;
}

std::string waitText() { return "\x03" + Cp1250FromUtf8("Trwa kopiowanie pliku."); }

} // namespace

std::string pathIn(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string copyFailureReason(int error) {
    switch (error) {
    case ENOSPC: return "brak miejsca na nośniku";
    case EDQUOT: return "przekroczony przydział miejsca na nośniku";
    case EROFS: return "nośnik tylko do odczytu";
    case EACCES:
    case EPERM: return "brak uprawnień";
    case ENOENT: return "brak pliku lub katalogu";
    case ENOTDIR: return "ścieżka nie jest katalogiem";
    case EISDIR: return "w miejscu pliku jest katalog";
    case EIO: return "błąd odczytu lub zapisu nośnika";
    case ENAMETOOLONG: return "za długa nazwa";
    case ENOMEM: return "brak pamięci";
    case EMFILE:
    case ENFILE: return "za dużo otwartych plików";
    case ENODEV:
    case ENXIO: return "nośnik niedostępny";
    default: return std::strerror(error);
    }
}

FileCopier::FileCopier(Messages& messages, TargetVolume& volumes, bool& receptionSuspended, HistorySink& history)
    : messages_(messages), volumes_(volumes), receptionSuspended_(receptionSuspended), history_(history) {}

// "Błąd <what>" with the file and the reason on the lines below.
void FileCopier::error(const std::string& what, const std::string& path, int errnum) {
    std::string text = what;
    if (!path.empty()) text += "\n" + path;
    if (errnum != 0) text += ": " + copyFailureReason(errnum);
    messages_.ShowNotice(mz(text), kNoticeError);
}

int FileCopier::CopyOut(const std::string& name, const std::string& directory, const std::string& sourcePath,
                        bool silent) {
    Suspension suspended(receptionSuspended_);
    const std::string target = pathIn(directory, name);

    Descriptor source(::open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source.ok()) {
        const int e = errno;
        messages_.ShowNotice(mz("Błąd otwarcia pliku " + name + "\n" + sourcePath + ": " + copyFailureReason(e)),
                             kNoticeInfo);
        return -1;
    }
    if (::lseek(source.get(), 0, SEEK_SET) != 0) {
        error("przewinięcia pliku podczas kopiowania", sourcePath, errno);
        return -1;
    }
    if (exists(target) && !silent) {
        char question[1200];
        std::snprintf(question, sizeof question, "Plik %s już istnieje.\nCzy ma zostać nadpisany?", target.c_str());
        if (messages_.AskYesNo(mz(question)) != kResultYes) {
            messages_.ShowNotice(mz(kAbandoned), kNoticeInfo);
            return -1;
        }
    }
    const SourceState state = stateOf(source.get());
    if (state.size < 0) {
        error("odczytu pliku podczas kopiowania", sourcePath, errno);
        return -1;
    }
    if (state.size > kMaxCopiedFile) {
        // A copy left over from an earlier run must not pass for this one.
        ::unlink(target.c_str());
        history_.LogSystemEvent(kHistoryDatabaseFault, 2, 255, name.size() > 1 ? static_cast<uint8_t>(name[1]) : 0, 0);
        messages_.ShowNotice(mz("długości pliku!\n" + std::string(kAbandoned) + "\n" + sourcePath + ": " +
                                std::to_string(state.size) + " bajtów"),
                             kNoticeError);
        return -1;
    }
    Descriptor made(createTarget(target));
    if (!made.ok()) {
        const int e = errno;
        messages_.ShowNotice(mz("otwarcia pliku do zapisu.\n" + std::string(kAbandoned) + "\n" + target + ": " +
                                copyFailureReason(e)),
                             kNoticeError);
        return -1;
    }
    WaitDlg wait(messages_.ui(), waitText());
    // The old copy is gone now, so its room counts as free.
    const std::optional<uint64_t> room = volumes_.freeBytes(directory);
    if (!room) {
        made.reset();
        ::unlink(target.c_str());
        messages_.ShowNotice(mz("Błędna nazwa dysku\n" + directory), kNoticeInfo);
        return -1;
    }
    if (*room >= static_cast<uint64_t>(state.size)) {
        made.reset();
        return copyWhole(source.get(), state.size, sourcePath, target, name);
    }
    made.reset();
    ::unlink(target.c_str());
    if (silent || !volumes_.removable(directory)) {
        char text[600];
        std::snprintf(text, sizeof text, "Ilość dostępnego miejsca wynosi %llu bajtów.\n%s\n%s: %lld bajtów",
                      static_cast<unsigned long long>(*room), kAbandoned, target.c_str(),
                      static_cast<long long>(state.size));
        messages_.ShowNotice(mz(text), kNoticeInfo);
        return -1;
    }
    if (*room < kLeastPartRoom) messages_.ShowNotice(mz(kOtherDisk), kNoticeInfo);
    return copyInParts(source.get(), state.size, directory, name);
}

int FileCopier::copyWhole(int source, int64_t size, const std::string& sourcePath, const std::string& target,
                          const std::string& name) {
    std::vector<uint8_t> block;
    try {
        block.resize(kCopyBlock);
    } catch (const std::bad_alloc&) {
        messages_.ShowNotice(mz("przy próbie alokacji"), kNoticeMemory);
        return -1;
    }
    int restarts = 0;
    for (;;) {
        Descriptor out(createTarget(target));
        if (!out.ok()) {
            const int e = errno;
            messages_.ShowNotice(mz("otwarcia pliku do zapisu.\n" + std::string(kAbandoned) + "\n" + target + ": " +
                                    copyFailureReason(e)),
                                 kNoticeError);
            return -1;
        }
        SourceState before = stateOf(source);
        size = before.size;
        bool changed = false;
        bool served = false;
        for (int64_t at = 0; at < size;) {
            const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(kCopyBlock), size - at));
            if (!readFully(source, at, block.data(), n)) {
                const int e = errno;
                out.reset();
                ::unlink(target.c_str());
                error("odczytu pliku podczas kopiowania", sourcePath, e);
                return -1;
            }
            size_t written = 0;
            if (!writeAll(out.get(), block.data(), n, written)) {
                const int e = errno;
                out.reset();
                ::unlink(target.c_str());
                error("zapisu pliku podczas kopiowania", target, e);
                return -1;
            }
            at += static_cast<int64_t>(n);
            if (servingInputs_ && restarts < kCopyRestarts && at < size) {
                messages_.PollDuringWork();
                served = true;
                if (!(stateOf(source) == before)) {
                    changed = true;
                    break;
                }
            }
        }
        // A change within the file system's clock tick leaves the time as it
        // was: after serving the inputs the copy is compared with the file.
        if (!changed && served && !sameContents(source, target, size)) changed = true;
        if (changed) {
            ++restarts;
            continue;
        }
        if (::fsync(out.get()) != 0 || !out.close()) {
            const int e = errno;
            ::unlink(target.c_str());
            error("zapisu pliku podczas kopiowania", target, e);
            return -1;
        }
        break;
    }
    // Markers of an older copy in parts would send a restore looking for
    // parts that are not there.
    for (int part = 0; part < 100; ++part) {
        const std::string marker = pathIn(parentOf(target), partMarkerName(name, part));
        if (!exists(marker)) break;
        ::unlink(marker.c_str());
    }
    if (!syncDirectory(parentOf(target))) {
        error("zapisu pliku podczas kopiowania", parentOf(target), errno);
        return -1;
    }
    return 0;
}

int FileCopier::copyInParts(int source, int64_t size, const std::string& directory, const std::string& name) {
    std::vector<uint8_t> block(kCopyBlock);
    const std::string target = pathIn(directory, name);
    int64_t done = 0;
    int part = 0;
    for (;;) {
        const std::string marker = pathIn(directory, partMarkerName(name, part));
        if (exists(target)) {
            char question[1200];
            std::snprintf(question, sizeof question, "Plik %s już istnieje.\nCzy ma zostać nadpisany?",
                          target.c_str());
            const int answer = messages_.AskChoice(mz(question), kChoiceYesNoCancel);
            if (answer == kResultNo) {
                messages_.ShowNotice(mz(kOtherDisk), kNoticeInfo);
                continue;
            }
            if (answer != kResultYes) {
                messages_.ShowNotice(mz(kAbandoned), kNoticeInfo);
                return -1;
            }
        }
        std::error_code ec;
        std::filesystem::create_directories(directory, ec);
        if (ec) {
            error("utworzenia katalogu", directory, ec.value());
            return -1;
        }
        {
            Descriptor m(createTarget(marker));
            if (!m.ok() || ::fsync(m.get()) != 0 || !m.close()) {
                error("otwarcia pliku do zapisu", marker, errno);
                return -1;
            }
        }
        Descriptor out(createTarget(target));
        if (!out.ok()) {
            const int e = errno;
            ::unlink(marker.c_str());
            error("otwarcia pliku do zapisu", target, e);
            return -1;
        }
        const std::optional<uint64_t> room = volumes_.freeBytes(directory);
        if (!room) {
            out.reset();
            ::unlink(target.c_str());
            ::unlink(marker.c_str());
            messages_.ShowNotice(mz("Błędna nazwa dysku\n" + directory), kNoticeInfo);
            return -1;
        }
        if (*room < kLeastPartRoom) {
            out.reset();
            ::unlink(target.c_str());
            ::unlink(marker.c_str());
            if (messages_.AskYesNo(mz(std::string(kOtherDisk) + "\nKontynuować?")) == kResultYes) continue;
            return -1;
        }
        const int64_t rest = size - done;
        const bool last = *room >= static_cast<uint64_t>(rest);
        const int64_t wanted = last ? rest : static_cast<int64_t>(*room);
        // The part takes what the medium takes: a file system that keeps
        // some of its free room for itself ends the part early.
        int64_t written = 0;
        bool full = false;
        while (written < wanted) {
            const size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(kCopyBlock), wanted - written));
            if (!readFully(source, done + written, block.data(), n)) {
                const int e = errno;
                out.reset();
                error("odczytu pliku podczas kopiowania", name, e);
                return -1;
            }
            size_t put = 0;
            if (!writeAll(out.get(), block.data(), n, put)) {
                const int e = errno;
                written += static_cast<int64_t>(put);
                if (e == ENOSPC) {
                    full = true;
                    break;
                }
                out.reset();
                error("zapisu pliku podczas kopiowania", target, e);
                return -1;
            }
            written += static_cast<int64_t>(n);
        }
        if ((full && ::ftruncate(out.get(), static_cast<off_t>(written)) != 0) || ::fsync(out.get()) != 0 ||
            !out.close()) {
            error("zapisu pliku podczas kopiowania", target, errno);
            return -1;
        }
        done += written;
        if (done >= size) {
            ::unlink(marker.c_str());
            if (!syncDirectory(directory)) {
                error("zapisu pliku podczas kopiowania", directory, errno);
                return -1;
            }
            return 0;
        }
        if (!syncDirectory(directory)) {
            error("zapisu pliku podczas kopiowania", directory, errno);
            return -1;
        }
        messages_.ShowNotice(mz(kNextDisk), kNoticeInfo);
        ++part;
    }
}

int FileCopier::CopyIn(const std::string& targetPath, const std::string& name, const std::string& directory) {
    Suspension suspended(receptionSuspended_);
    const bool removable = volumes_.removable(directory);
    Descriptor out(createTarget(targetPath));
    if (!out.ok()) {
        error("otwarcia pliku do zapisu", targetPath, errno);
        return -1;
    }
    if (::lseek(out.get(), 0, SEEK_SET) != 0) {
        error("przewinięcia pliku podczas kopiowania", targetPath, errno);
        return -1;
    }
    WaitDlg wait(messages_.ui(), waitText());
    std::vector<uint8_t> block(kCopyBlock);
    const std::string source = pathIn(directory, name);
    bool toldMissing = false;
    int missedParts = 0;
    // The part just read: found again after "next medium", the medium was
    // not changed.
    struct stat lastPart {};
    for (int part = 0;;) {
        Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat st {};
        if (in.ok() && part > 0 && ::fstat(in.get(), &st) == 0 && st.st_dev == lastPart.st_dev &&
            st.st_ino == lastPart.st_ino && st.st_mtim.tv_sec == lastPart.st_mtim.tv_sec &&
            st.st_mtim.tv_nsec == lastPart.st_mtim.tv_nsec) {
            in.reset();
            errno = ENOENT;
        }
        if (in.ok()) {
            ::fstat(in.get(), &lastPart);
            for (;;) {
                const ssize_t n = ::read(in.get(), block.data(), block.size());
                if (n < 0) {
                    if (errno == EINTR) continue;
                    error("odczytu pliku podczas kopiowania", source, errno);
                    return -1;
                }
                if (n == 0) break;
                size_t put = 0;
                if (!writeAll(out.get(), block.data(), static_cast<size_t>(n), put)) {
                    error("zapisu pliku podczas kopiowania", targetPath, errno);
                    return -1;
                }
            }
            in.reset();
            if (!removable || !exists(pathIn(directory, partMarkerName(name, part)))) break;
            messages_.ShowNotice(mz(kNextDisk), kNoticeInfo);
            ++part;
            missedParts = 0;
            continue;
        }
        const int e = errno;
        if (part > 0 && ++missedParts < kMissingPartTries) {
            messages_.ShowNotice(mz("Dyskietka nie zawiera kolejnej części kopiowanego pliku\n" +
                                    std::string(kOtherDisk)),
                                 kNoticeInfo);
            continue;
        }
        if (part == 0 && removable && !toldMissing) {
            toldMissing = true;
            messages_.ShowNotice(mz("Dyskietka nie zawiera poszukiwanego pliku.\n" + std::string(kNextDisk)),
                                 kNoticeInfo);
            continue;
        }
        error("otwarcia pliku do odczytu", source, e);
        return -1;
    }
    if (::fsync(out.get()) != 0 || !out.close()) {
        error("zapisu pliku podczas kopiowania", targetPath, errno);
        return -1;
    }
    return 0;
}

} // namespace k4

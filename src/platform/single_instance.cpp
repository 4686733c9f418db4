#include "platform/single_instance.h"

#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/statvfs.h>
#include <unistd.h>

namespace k4 {

namespace {

// QLockFile tells "held" apart from "could not write", but not why the
// writing failed: the directory itself says whether it is full, read-only
// or closed to us.
std::string whyNoFile(const std::string& lockPath) {
    const std::string dir = QFileInfo(QString::fromStdString(lockPath)).absolutePath().toStdString();
    struct statvfs fs {};
    if (::statvfs(dir.c_str(), &fs) != 0) return std::string("katalog niedostępny (") + std::strerror(errno) + ")";
    if (fs.f_flag & ST_RDONLY) return "system plików tylko do odczytu";
    if (::access(dir.c_str(), W_OK) != 0) return "brak prawa zapisu w katalogu";
    if (fs.f_bavail == 0 || fs.f_favail == 0) return "brak miejsca na dysku";
    return "nie można zapisać pliku blokady";
}

} // namespace

SingleInstance::SingleInstance(const std::string& lockPath)
    : lock_(std::make_unique<QLockFile>(QString::fromStdString(lockPath))), path_(lockPath) {
    // Only a dead owner's lock is stale, never an old live one.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (held_) return true;
    held_ = lock_->tryLock(0);
    if (held_) {
        refusal_ = Refusal::None;
        reason_.clear();
        return true;
    }
    if (lock_->error() == QLockFile::LockFailedError) {
        refusal_ = Refusal::HeldByAnother;
        reason_.clear();
    } else {
        refusal_ = Refusal::CannotWrite;
        reason_ = whyNoFile(path_);
    }
    return false;
}

std::optional<long> SingleInstance::liveHolder(const std::string& lockPath) {
    if (!QFileInfo::exists(QString::fromStdString(lockPath))) return std::nullopt;
    QLockFile probe(QString::fromStdString(lockPath));
    qint64 pid = 0;
    QString host, application;
    if (!probe.getLockInfo(&pid, &host, &application) || pid <= 0) return std::nullopt;
    // A lock of another machine (a shared directory) is taken as live.
    if (!host.isEmpty() && host != QSysInfo::machineHostName()) return static_cast<long>(pid);
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) return static_cast<long>(pid);
    return std::nullopt;
}

} // namespace k4

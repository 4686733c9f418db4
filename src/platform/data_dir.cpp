#include "platform/data_dir.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace k4 {

namespace {
std::string absolute(const std::string& dir) {
    char resolved[PATH_MAX];
    if (::realpath(dir.c_str(), resolved)) return resolved;
    return dir;
}
} // namespace

DataDir::DataDir(std::string directory) : dir_(absolute(directory)) {
    while (dir_.size() > 1 && dir_.back() == '/') dir_.pop_back();
}

std::string DataDir::file(const std::string& name) const {
    return dir_ == "/" ? "/" + name : dir_ + "/" + name;
}

std::optional<uint64_t> DataDir::freeBytes() const {
    struct statvfs vfs {};
    if (::statvfs(dir_.c_str(), &vfs) != 0) return std::nullopt;
    return static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
}

std::string DataDir::volumeName() const {
    // Walk up while the parent is on the same device.
    struct stat st {};
    if (::stat(dir_.c_str(), &st) != 0) return dir_;
    std::string current = dir_;
    while (current != "/") {
        auto slash = current.find_last_of('/');
        std::string parent = slash == 0 ? "/" : current.substr(0, slash);
        struct stat pst {};
        if (::stat(parent.c_str(), &pst) != 0 || pst.st_dev != st.st_dev) break;
        current = parent;
    }
    return current;
}

} // namespace k4

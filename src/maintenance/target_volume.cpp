#include "maintenance/target_volume.h"

#include <fstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace k4 {

std::string existingAncestor(const std::string& dir) {
    std::string current = dir.empty() ? "." : dir;
    struct stat st {};
    while (::stat(current.c_str(), &st) != 0) {
        const auto slash = current.find_last_of('/');
        if (slash == std::string::npos) return ".";
        if (slash == 0) return "/";
        current = current.substr(0, slash);
    }
    return current;
}

std::optional<uint64_t> SystemVolumes::freeBytes(const std::string& dir) {
    struct statvfs vfs {};
    if (::statvfs(existingAncestor(dir).c_str(), &vfs) != 0) return std::nullopt;
    return static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
}

bool SystemVolumes::removable(const std::string& dir) {
    struct stat st {};
    if (::stat(existingAncestor(dir).c_str(), &st) != 0) return false;
    const std::string device = "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" +
                               std::to_string(minor(st.st_dev));
    // A partition keeps the flag in its disk's directory, one level up.
    for (const char* flag : {"/removable", "/../removable"}) {
        std::ifstream in(device + flag);
        int value = 0;
        if (in >> value) return value == 1;
    }
    return false;
}

} // namespace k4

#pragma once
// The data directory of one station: every data file lives here. The station
// never changes the process's working directory, so two stations over two
// directories can run side by side in one test.
#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

class DataDir {
public:
    explicit DataDir(std::string directory);

    // The absolute directory, without a trailing separator.
    const std::string& path() const { return dir_; }
    // The path of a data file given by its name ("conf", "logf").
    std::string file(const std::string& name) const;

    // The free space of the file system holding the directory, in bytes.
    std::optional<uint64_t> freeBytes() const;
    // The mount point of that file system: what a drive letter named once.
    std::string volumeName() const;

private:
    std::string dir_;
};

} // namespace k4

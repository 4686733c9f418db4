#pragma once
// A small file system of its own for one test: a tmpfs of a given size
// mounted on a temporary directory, in a mount namespace of the test process
// (so nothing of it outlives the process or shows outside it). A disk that
// really runs full or turns read-only, not a simulation of one. Needs the
// right to mount (root, as in the test container); without it the test that
// asked says so and is skipped.
#include "support/temp_dir.h"

#include <cstdint>
#include <string>

namespace k4::test {

class SmallTmpfs {
public:
    explicit SmallTmpfs(uint64_t bytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& error() const { return error_; }
    const std::string& path() const { return dir_.path(); }

    // Writes a file "zapchaj" until the file system takes no more.
    void fill();
    // Removes it again.
    void free();
    // Remounts read-only or read-write.
    bool setReadOnly(bool readOnly);

private:
    TempDir dir_;
    uint64_t bytes_;
    bool mounted_ = false;
    std::string error_;
};

} // namespace k4::test

#pragma once
// The tool's side of "one owner per data directory": a command that writes
// holds the directory's lock while it works and refuses when a station (or
// another tool) holds it; a command that only reads goes on over a live
// directory and says so.
#include "platform/single_instance.h"

#include <iosfwd>
#include <memory>
#include <string>

namespace k4::admin {

class WriteLock {
public:
    WriteLock() = default;
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    // Takes the lock of dir for the command; false after telling err why
    // not. A directory that does not exist yet has no owner; the command
    // that creates it takes it afterwards with take() again. Within one
    // process the lock is taken once: demo runs import under its own lock.
    bool take(const std::string& dir, std::ostream& err);
    void release();

private:
    std::unique_ptr<SingleInstance> lock_;
    std::string path_;
};

// One line on err when a station holds dir: the reader sees a live
// directory, which may change under it.
void noteLiveDirectory(const std::string& dir, std::ostream& err);

// The status of a command refused by the lock.
constexpr int kRefusedByLock = 1;

} // namespace k4::admin

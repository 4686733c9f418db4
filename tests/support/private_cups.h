#pragma once
// A CUPS scheduler of the test's own: its directories in a temporary folder,
// listening on a socket there, with a raw queue whose device is a small
// backend that appends every job's bytes to a file. CUPS_SERVER points this
// process at it.
#include "support/temp_dir.h"

#include <string>

namespace k4::test {

class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    // Empty when the scheduler could not be started (the reason is in error()).
    bool running() const { return pid_ > 0 && ready_; }
    const std::string& error() const { return error_; }

    // A raw queue; its jobs' bytes go to capturePath(name).
    bool addRawQueue(const std::string& name);
    bool stopQueue(const std::string& name);
    bool startQueue(const std::string& name);
    std::string capturePath(const std::string& name) const;
    // What reached the queue's device so far, waiting up to some seconds
    // for at least `bytes` bytes to arrive.
    std::string captured(const std::string& name, size_t bytes) const;
    // Jobs not yet printed on the queue.
    int pendingJobs(const std::string& name) const;

private:
    bool run(const std::string& command) const;

    TempDir dir_;
    std::string socket_;
    int pid_ = -1;
    bool ready_ = false;
    std::string error_;
};

} // namespace k4::test

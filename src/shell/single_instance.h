#pragma once
// One station per data directory: the lock file "Kestrel4.lock" in it, held
// for the whole run. A second copy on the same directory finds it held,
// tells the operator and ends without touching anything. Stations over other
// directories run beside it (a test centre next to the live one); what keeps
// them off each other's serial lines is the exclusive open of every port.
#include <memory>
#include <string>

class QLockFile;

namespace k4 {

class Messages;

class SingleInstance {
public:
    // lockPath: the data directory's "Kestrel4.lock".
    explicit SingleInstance(const std::string& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // true when this is the only copy; the lock is then held until the
    // object ends. A lock left by a copy that died is taken over.
    bool acquire();
    bool held() const { return held_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool held_ = false;
};

// "Program został już uruchomiony!"; the caller then ends without starting.
void reportAlreadyRunning(Messages& messages);

} // namespace k4

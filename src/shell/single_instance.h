#pragma once
// One station per machine: a lock file held for the whole run. A second copy
// finds it held, tells the operator and ends without touching anything.
#include <memory>
#include <string>

class QLockFile;

namespace k4 {

class Messages;

class SingleInstance {
public:
    // lockPath: e.g. the runtime directory's "Kestrel4.lock".
    explicit SingleInstance(const std::string& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // true when this is the only copy; the lock is then held until the
    // object ends. A lock left by a copy that died is taken over.
    bool acquire();
    bool held() const { return held_; }

    // The lock file for the user's runtime directory (or the temporary
    // directory when there is none).
    static std::string defaultLockPath();

private:
    std::unique_ptr<QLockFile> lock_;
    bool held_ = false;
};

// "Program został już uruchomiony!"; the caller then ends without starting.
void reportAlreadyRunning(Messages& messages);

} // namespace k4

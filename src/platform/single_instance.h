#pragma once
// One owner per data directory: the lock file "Kestrel4.lock" there, held by
// the station for its whole run and by every tool while it writes. A second
// copy finds it held and ends without touching anything; readers only look
// whether a live process holds it. Stations over other directories run
// beside it (a test centre next to the live one); what keeps them off each
// other's serial lines is the exclusive open of every port.
#include <memory>
#include <optional>
#include <string>

class QLockFile;

namespace k4 {

class SingleInstance {
public:
    // lockPath: the data directory's "Kestrel4.lock".
    explicit SingleInstance(const std::string& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Why the lock was not taken.
    enum class Refusal {
        None,
        HeldByAnother,  // a live process holds it
        CannotWrite,    // the directory takes no file: full, read-only, no right
    };

    // true when this is the only copy; the lock is then held until the
    // object ends. A lock left by a copy that died is taken over.
    bool acquire();
    bool held() const { return held_; }
    Refusal refusal() const { return refusal_; }
    // After CannotWrite: what the directory lacks, in Polish (UTF-8), e.g.
    // "brak miejsca na dysku".
    const std::string& reason() const { return reason_; }
    const std::string& path() const { return path_; }

    // Whether a live process holds the lock at lockPath, found without
    // writing anything (for tools that only read). The holder's process id.
    static std::optional<long> liveHolder(const std::string& lockPath);

private:
    std::unique_ptr<QLockFile> lock_;
    std::string path_;
    bool held_ = false;
    Refusal refusal_ = Refusal::None;
    std::string reason_;
};

} // namespace k4

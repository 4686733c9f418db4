#include "admin/admin_lock.h"

#include "platform/data_dir.h"

#include <filesystem>
#include <ostream>
#include <set>
#include <system_error>

namespace k4::admin {

namespace {

// The locks this process holds, so that a command run from another one
// (demo imports its subscribers) does not find its own lock in the way.
std::set<std::string>& heldHere() {
    static std::set<std::string> held;
    return held;
}

std::string lockPathOf(const std::string& dir) { return DataDir(dir).file("Kestrel4.lock"); }

} // namespace

WriteLock::~WriteLock() { release(); }

void WriteLock::release() {
    if (lock_ && lock_->held()) heldHere().erase(path_);
    lock_.reset();
}

bool WriteLock::take(const std::string& dir, std::ostream& err) {
    if (lock_ && lock_->held()) return true;
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return true;
    const std::string path = lockPathOf(dir);
    if (heldHere().count(path)) return true;
    auto lock = std::make_unique<SingleInstance>(path);
    if (!lock->acquire()) {
        if (lock->refusal() == SingleInstance::Refusal::HeldByAnother) {
            const auto pid = SingleInstance::liveHolder(path);
            err << "Stacja pracuje na tym katalogu - zatrzymaj ją najpierw (" << DataDir(dir).path();
            if (pid) err << ", proces " << *pid;
            err << "); nic nie zostało zmienione\n";
        } else {
            err << "Nie można założyć blokady " << path << ": " << lock->reason() << "; nic nie zostało zmienione\n";
        }
        return false;
    }
    lock_ = std::move(lock);
    path_ = path;
    heldHere().insert(path_);
    return true;
}

void noteLiveDirectory(const std::string& dir, std::ostream& err) {
    const std::string path = lockPathOf(dir);
    if (heldHere().count(path)) return;
    if (const auto pid = SingleInstance::liveHolder(path))
        err << "Uwaga: stacja pracuje na tym katalogu (proces " << *pid
            << ") - odczyt danych w trakcie pracy, mogą się zmieniać\n";
}

} // namespace k4::admin

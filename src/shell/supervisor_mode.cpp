#include "shell/supervisor_mode.h"

#include "database/text_edge.h"
#include "history/history_log.h"
#include "messages/messages.h"

#include <cstdio>
#include <fstream>
#include <sys/stat.h>

namespace k4 {

SupervisorMode::SupervisorMode(const DataDir& dir, Messages& messages, HistoryLog& history,
                               std::function<bool()> askPassword)
    : dir_(dir), messages_(messages), history_(history), askPassword_(std::move(askPassword)) {}

bool SupervisorMode::enter() {
    if (on_) return true;
    struct stat st {};
    if (::stat(dir_.file("ext_edit").c_str(), &st) == 0) {
        messages_.ShowNotice(mz("\x03" "Baza jest edytowana zdalnie"), kNoticeInfo);
        return false;
    }
    if (!askPassword_ || !askPassword_()) return false;
    std::ofstream lock(dir_.file("loc_edit"), std::ios::binary | std::ios::trunc);
    lock.close();
    if (!lock) messages_.ShowNotice(mz("\x03zablokowania bazy"), kNoticeError);
    on_ = true;
    // The value of these entries has always been -1: no operator number.
    history_.LogEvent(kHistorySupervisorOn, -1);
    return true;
}

void SupervisorMode::leave() {
    if (!on_) return;
    removeLockFile(dir_);
    on_ = false;
    history_.LogEvent(kHistorySupervisorOff, -1);
}

void SupervisorMode::endWithTheRun() {
    removeLockFile(dir_);
    on_ = false;
}

void SupervisorMode::removeLockFile(const DataDir& dir) { std::remove(dir.file("loc_edit").c_str()); }

} // namespace k4

#pragma once
// Supervisor mode of the station: the marker files that tell the remote
// editor the database is being edited here ("loc_edit") or there
// ("ext_edit"), and the history entries of entering and leaving.
#include "platform/data_dir.h"

#include <functional>

namespace k4 {

class HistoryLog;
class Messages;

enum : int {
    kHistorySupervisorOn = 4,
    kHistorySupervisorOff = 5,
};

class SupervisorMode {
public:
    // askPassword: the supervisor password prompt; true when accepted.
    SupervisorMode(const DataDir& dir, Messages& messages, HistoryLog& history, std::function<bool()> askPassword);

    // true when the mode is now on. "ext_edit" keeps it off with "Baza jest
    // edytowana zdalnie"; a refused password keeps it off silently; a
    // "loc_edit" that cannot be made is told, and the mode is on anyway.
    bool enter();
    // "Za&bezpiecz": "loc_edit" goes and the history says the mode ended.
    void leave();
    // The end of the run ("&Wyjście"): "loc_edit" goes, but the mode is not
    // left as a step of its own; the end of work closes the history.
    void endWithTheRun();
    bool on() const { return on_; }
    bool hasPasswordPrompt() const { return static_cast<bool>(askPassword_); }

    // At the end of the run: no "loc_edit" may outlive the station.
    static void removeLockFile(const DataDir& dir);

private:
    DataDir dir_;
    Messages& messages_;
    HistoryLog& history_;
    std::function<bool()> askPassword_;
    bool on_ = false;
};

} // namespace k4

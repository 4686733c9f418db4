#pragma once
// The life of one station process over its data directory. Only one station
// may own a directory (the lock "Kestrel4.lock" there); a second copy is told
// so and ends without touching a file. Whatever else becomes of the run (a
// clean end, a start that failed, a fatal fault), no "loc_edit" outlives it,
// or the remote editor would believe the database is still being edited here.
#include "platform/data_dir.h"

#include <functional>

namespace k4 {

class OperatorUi;

// Runs `run` as the only station of dir and gives its status; 1 when another
// station holds the directory. A failed start must give a status other than
// 0, so that the system sees the failure.
int runAsOnlyStation(OperatorUi& ui, const DataDir& dir, const std::function<int()>& run);

// What a fatal fault does at the end: "loc_edit" goes, then the process
// ends with the status.
void endStationProcess(const DataDir& dir, int status);

} // namespace k4

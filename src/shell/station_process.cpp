#include "shell/station_process.h"

#include "messages/messages.h"
#include "shell/lock_notices.h"
#include "shell/supervisor_mode.h"

#include <cstdlib>

namespace k4 {

int runAsOnlyStation(OperatorUi& ui, const DataDir& dir, const std::function<int()>& run) {
    SingleInstance instance(dir.file("Kestrel4.lock"));
    if (!instance.acquire()) {
        // The other station's "loc_edit" is its own: left alone.
        Messages boxes(ui);
        reportLockRefused(boxes, instance);
        return 1;
    }
    const int status = run();
    SupervisorMode::removeLockFile(dir);
    return status;
}

void endStationProcess(const DataDir& dir, int status) {
    SupervisorMode::removeLockFile(dir);
    std::exit(status);
}

} // namespace k4

// A restore inside the running station: the files it keeps open are closed
// before they are replaced, so that no handle is left on a file that is no
// longer the database, and the tables kept in memory are read again after.
// The intake journal "odbior" is no part of the database and is left as it
// is: what it holds was already processed against the database it came to.
#include "shell/station.h"

#include "database/database_open.h"

namespace k4 {

void Station::releaseForRestore() {
    restoreHold_ = true;
    receptionSuspended_ = true;
    // The places the operator gave the panels are kept, and "hunits" is
    // not held open across the copy.
    hydro_.saveHydroUnits();
    CloseDatabase(database_.files(), indexes_);
    events_.release();
}

int Station::reopenAfterRestore() {
    if (OpenDatabase(database_.files(), indexes_) != 0) {
        messages_.ShowNotice("\n\nBlad otwarcia bazy danych\n", kNoticeInfo);
        return -1;
    }
    if (events_.loadEventTable(dir_) != 0 || database_.orderNames().Load() != 0) {
        messages_.ShowNotice("\n\nBlad otwarcia zdarzen lub rozkazow\n", kNoticeInfo);
        CloseDatabase(database_.files(), indexes_);
        return -1;
    }
    sharedLists_.load();
    hydro_.loadHydroUnits();
    // The blockade list of the window is drawn anew from the restored file.
    blockades_.load();
    restoreHold_ = false;
    receptionSuspended_ = !started_;
    return 0;
}

} // namespace k4

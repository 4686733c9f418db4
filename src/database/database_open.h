#pragma once
// Opening the whole subscriber database at start: the eight record files and
// the six index files, all existing or all made now. A set in which some
// files exist and others do not is refused, so a station never runs on
// records whose indexes (or related files) were lost.
#include "database/database_files.h"
#include "database/subscriber_indexes.h"

namespace k4 {

// 0, or -1 after the operator was told which file broke the set. A file
// missing from an existing set is created empty by the refused start, so the
// next start finds the set whole.
int OpenDatabase(DatabaseFiles& files, SubscriberIndexes& indexes);

// The files kept open for the run are closed again: indexes first, then the
// record files.
void CloseDatabase(DatabaseFiles& files, SubscriberIndexes& indexes);

} // namespace k4

#pragma once
// "&Usuń" of the history window: the operator's checks before entries are
// removed for good, then HistoryLog::DeleteBefore.
#include "history/history_log.h"

namespace k4 {

// date: the day chosen in "Usuń do daty"; every entry before its midnight
// goes. 0 when the entries were removed, 1 when the operator stopped or a
// check refused the date, -1 when the removal failed.
int deleteHistoryBefore(HistoryLog& history, Messages& messages, const Clock& clock, const LocalDateTime& date);

} // namespace k4

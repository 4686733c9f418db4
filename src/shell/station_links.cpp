#include "shell/station_links.h"

#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "history/history_log.h"

#include <cstdio>
#include <cstring>

namespace k4 {

int HistoryPreparedEntries::logPreparedEntry(int kind, const PreparedEntry& entry) {
    HistoryEntry prepared;
    static_assert(sizeof prepared == std::tuple_size_v<PreparedEntry>);
    std::memcpy(&prepared, entry.data(), sizeof prepared);
    return history_.LogEvent(kind, prepared);
}

std::optional<int> IndexPhoneOwners::ownerOfPhone(const std::string& phone) {
    return indexes_.ownerOfPhone(phone);
}

FatalIndexFailure::FatalIndexFailure(Messages& messages, CloseEverything closeEverything, Exit exit)
    : messages_(messages), closeEverything_(std::move(closeEverything)), exit_(std::move(exit)) {}

void FatalIndexFailure::indexFailed(const std::string& message, const std::string& path, int64_t offset) {
    // Closing the files may touch an index again; a second failure on the way
    // out must not recurse.
    if (failing_) return;
    failing_ = true;
    // The error output keeps the technician's form of the finding; the box
    // tells the operator why the station is going away.
    std::fprintf(stderr, "%s: %s\nNumer rekordu %lx\n", path.c_str(), message.c_str(),
                 static_cast<unsigned long>(offset));
    char where[32];
    std::snprintf(where, sizeof where, "%lx", static_cast<unsigned long>(offset));
    messages_.ShowNotice(message + " " + path + mz(", rekord ") + where +
                             mz(".\nProgram zostanie zamknięty."),
                         kNoticeAlarm);
    closeEverything_();
    exit_(1);
}

} // namespace k4

#pragma once
// The small adapters by which the station joins parts that do not know each
// other: the base link's prepared history entries go to the history log, its
// phone look-ups to the phone index, and a failing index ends the run.
#include "baselink/base_link.h"
#include "database/index_file.h"
#include "database/subscriber_links.h"

#include <functional>

namespace k4 {

class HistoryLog;
class SubscriberIndexes;

class HistoryPreparedEntries final : public PreparedEntryLog {
public:
    explicit HistoryPreparedEntries(HistoryLog& history) : history_(history) {}
    int logPreparedEntry(int kind, const PreparedEntry& entry) override;

private:
    HistoryLog& history_;
};

class IndexPhoneOwners final : public PhoneOwnerLookup {
public:
    explicit IndexPhoneOwners(SubscriberIndexes& indexes) : indexes_(indexes) {}
    std::optional<int> ownerOfPhone(const std::string& phone) override;

private:
    SubscriberIndexes& indexes_;
};

// An index that cannot be read or written any more leaves the tree in a
// state no operation may build on: the operator is told which file and
// where, what is open is closed cleanly (so no history entry or record
// already written is lost), and the process ends with status 1.
class FatalIndexFailure final : public IndexFailure {
public:
    using CloseEverything = std::function<void()>;
    using Exit = std::function<void(int status)>;

    FatalIndexFailure(Messages& messages, CloseEverything closeEverything, Exit exit);
    void indexFailed(const std::string& message, const std::string& path, int64_t offset) override;

private:
    Messages& messages_;
    CloseEverything closeEverything_;
    Exit exit_;
    bool failing_ = false;
};

} // namespace k4

namespace k4 {

// The paths keep their lists of supervised subscribers in the path table;
// until its discovery has run no path holds any, so a deleted subscriber has
// nothing to be taken off.
class NoSupervisedPaths final : public SupervisedSubscriberLists {
public:
    void ForgetSubscriber(int, uint8_t, uint8_t) override {}
};

} // namespace k4

#pragma once
// The small adapters by which the station joins parts that do not know each
// other: the base link's prepared history entries go to the history log, its
// phone look-ups to the phone index, and a failing index ends the run.
#include "baselink/base_link.h"
#include "baselink/path_polling.h"
#include "platform/datagram_socket.h"
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

} // namespace k4

namespace k4 {

// No UDP channel yet: no Ethernet receiving base can be asked for its kind,
// so their slots stay empty, as for a base that does not answer.
class NoEthernetBases final : public EthernetKindQuery {
public:
    int queryKind(const std::string&, int) override { return -1; }
};

} // namespace k4

namespace k4 {

// For a data layer without a path table (tools and tests of the store): a
// deleted subscriber has no path list to be taken off.
class NoSupervisedPaths final : public SupervisedSubscriberLists {
public:
    void ForgetSubscriber(int, uint8_t, uint8_t) override {}
};

} // namespace k4

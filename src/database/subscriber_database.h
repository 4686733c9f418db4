#pragma once
// The subscriber database of one station: its record files, the order
// names kept in memory, and the parts of the station it works with. The
// station's composition root owns one; every Sbscrbr and list object works
// through it for one operation.
#include "database/database_files.h"
#include "database/order_names_table.h"
#include "database/subscriber_links.h"

namespace k4 {

struct ConfigBlock;

struct SubscriberStoreLinks {
    SubscriberIndex& index;
    SharedEventLists& sharedLists;
    SupervisedSubscriberLists& supervisedLists;
};

class SubscriberDatabase {
public:
    SubscriberDatabase(const DataDir& dir, Messages& messages, HistorySink& history, const ConfigBlock& config,
                       SubscriberStoreLinks links)
        : files_(dir, messages, history), orderNames_(dir, messages), config_(config), links_(links) {}

    DatabaseFiles& files() { return files_; }
    RecordFile& file(DbFile which) { return files_.file(which); }
    OrderNamesTable& orderNames() { return orderNames_; }
    Messages& messages() { return files_.messages(); }
    HistorySink& history() { return files_.history(); }
    const DataDir& dataDir() const { return files_.dataDir(); }
    // The configuration block of the run (the default town of new
    // subscribers).
    const ConfigBlock& config() const { return config_; }
    SubscriberIndex& index() { return links_.index; }
    SharedEventLists& sharedLists() { return links_.sharedLists; }
    SupervisedSubscriberLists& supervisedLists() { return links_.supervisedLists; }

private:
    DatabaseFiles files_;
    OrderNamesTable orderNames_;
    const ConfigBlock& config_;
    SubscriberStoreLinks links_;
};

} // namespace k4

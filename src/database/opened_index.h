#pragma once
// An index open for the length of one pass over it (a search, a sorted
// list): an index the station keeps open stays open, another is opened here
// and closed again at the end of the scope.
#include "database/index_file.h"
#include "database/subscriber_indexes.h"
#include "platform/data_dir.h"

namespace k4 {

class OpenedIndex {
public:
    OpenedIndex(const DataDir& dir, SubscriberIndexes& indexes, int index)
        : handle_(indexes.handle(index)), opened_(!handle_.isOpen()) {
        const IndexDescriptor& d = indexDescriptor(index);
        ok_ = !opened_ || handle_.OpenIndex(dir, d.name, d.duplicates) == 0;
        if (!ok_) opened_ = false;
    }
    ~OpenedIndex() {
        if (opened_) handle_.CloseIndex();
    }
    OpenedIndex(const OpenedIndex&) = delete;
    OpenedIndex& operator=(const OpenedIndex&) = delete;
    bool ok() const { return ok_; }
    IndexHandle& operator*() { return handle_; }

private:
    IndexHandle& handle_;
    bool opened_;
    bool ok_ = true;
};

} // namespace k4

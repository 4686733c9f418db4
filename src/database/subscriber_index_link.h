#pragma once
// The index files serving the subscriber store: Sbscrbr finds its record by
// number through "numer", and a deleted subscriber takes its keys out of all
// six indexes.
#include "database/subscriber_indexes.h"
#include "database/subscriber_links.h"

namespace k4 {

class Sbscrbr;

// The keys a subscriber's record gives the indexes, with its record offset.
SubscriberKeys subscriberKeysOf(const Sbscrbr& subscriber);

class SubscriberIndexLink final : public SubscriberIndex {
public:
    explicit SubscriberIndexLink(SubscriberIndexes& indexes) : indexes_(indexes) {}

    int FindNumber(int number, int32_t& offset) override;
    int RemoveSubscriberKeys(const Sbscrbr& subscriber) override;

private:
    SubscriberIndexes& indexes_;
};

} // namespace k4

#pragma once
// Storing a subscriber that is not in the database yet, as the subscriber
// card does for a new one: the number must be free in "numer", the record
// is appended to "dane", and its keys go into the six indexes. Either all
// of that happens or none of it stays behind.
#include "database/subscriber_record.h"

#include <cstdint>

namespace k4 {

class SubscriberDatabase;
class SubscriberIndexes;

enum : int {
    kSubscriberSaved = 0,
    kSubscriberNumberTaken = 1,
    kSubscriberNotSaved = -1,
};

// record: the fields of the new subscriber (its free_link is cleared). The
// operator is told why it was refused; offset is set on success only.
int saveNewSubscriber(SubscriberDatabase& db, SubscriberIndexes& indexes, const SubscriberRecord& record,
                      int32_t& offset);

} // namespace k4

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
struct SubscriberKeys;

enum : int {
    kSubscriberSaved = 0,
    kSubscriberNumberTaken = 1,
    kSubscriberNotSaved = -1,
};

// record: the fields of the new subscriber (its free_link is cleared). The
// operator is told why it was refused; offset is set on success only.
int saveNewSubscriber(SubscriberDatabase& db, SubscriberIndexes& indexes, const SubscriberRecord& record,
                      int32_t& offset);

// Takes out of every index the pairs of a subscriber whose indexing broke
// off half-way. Unlike the removal before a save it does not stop at a
// missing pair: the insertion or removal may have stopped anywhere.
void takeBackSubscriberKeys(SubscriberDatabase& db, SubscriberIndexes& indexes, const SubscriberKeys& keys);
// Puts back the pairs of a subscriber whose keys were taken out, as far as
// each index can take them. 0, or -1 when an index could not.
int putBackSubscriberKeys(SubscriberDatabase& db, SubscriberIndexes& indexes, const SubscriberKeys& keys);

} // namespace k4

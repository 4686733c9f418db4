#pragma once
// A subscriber given another number: its record and every index key follow
// (the number in "numer", the owner of its phones in "telefon"; the other
// indexes name the record, which stays where it is, as do the persons,
// subsystems, sectors, event list, schedules and description hanging from
// it), and the history says so. Its pictures in "grafika" are renamed too.
#include <string>

namespace k4 {

class SubscriberDatabase;
class SubscriberIndexes;

enum : int {
    kNumberChanged = 0,
    kNumberTaken = 1,       // the new number has a subscriber: the dialog stays
    kNumberNotFound = 2,    // no subscriber under the old number
    kNumberNotChanged = -1, // failed, told; the subscriber keeps its old number
};

// History kind of a number change: the old number as the entry's
// subscriber, the new one in the 16 bits after it.
inline constexpr int kHistoryNumberChanged = 65;

int changeSubscriberNumber(SubscriberDatabase& db, SubscriberIndexes& indexes, int oldNumber, int newNumber);

} // namespace k4

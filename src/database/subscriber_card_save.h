#pragma once
// What the subscriber card does to the store: opening it for editing is
// noted in the history, and "&Koniec zmian" saves the subscriber with its
// index entries. The save never leaves the store half changed: a refused
// number or a failed step puts the record and its keys back as they were,
// and the card stays open with the operator's inputs.
#include "database/sbscrbr.h"

namespace k4 {

class SubscriberIndexes;

enum : int {
    kHistoryCardEditing = 71,
};

enum : int {
    kCardSaved = 0,
    kCardKeptOpen = 1,   // refused (a taken number), the operator was told
    kCardNotSaved = -1,  // a step failed, its message shown
};

// History kind 71 with the subscriber number.
void noteCardEditing(SubscriberDatabase& db, int number);

// The card's fields are in subscriber.record already. A new subscriber is
// appended and indexed (and then holds its offset); a stored one has its
// old keys taken out, the record rewritten and the new keys put in.
int saveSubscriberCard(SubscriberDatabase& db, SubscriberIndexes& indexes, Sbscrbr& subscriber);

} // namespace k4

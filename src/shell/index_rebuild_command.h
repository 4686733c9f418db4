#pragma once
// "&Indeksy": after the operator's Yes, the five derived subscriber indexes
// are made anew from "numer". The lines are not served meanwhile.
namespace k4 {

class Messages;
class SubscriberDatabase;
class SubscriberIndexes;

// 0 rebuilt, 1 declined, -1 failed (told by the rebuild).
int runIndexRebuild(Messages& messages, SubscriberDatabase& database, SubscriberIndexes& indexes);

} // namespace k4

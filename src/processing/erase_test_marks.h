#pragma once
// "Kasowanie Testów Z W": the operator wipes what the supervised-subscribers
// list shows of a subscriber's tests (received/missing and the miss count)
// and of the armed/disarmed marks of chosen subsystem positions.
#include "database/subscriber_record.h"
#include "messages/messages.h"

#include <array>

namespace k4 {

class Sbscrbr;

struct EraseTestMarks {
    bool test1 = false;
    bool test2 = false;
    std::array<bool, 10> positions{}; // subsystem positions 0..9
};

// Reads the subscriber's state block, clears the ticked marks and writes the
// block back. 0, or -1 after the state-block message ("wczytania" on a read
// failure, the write code otherwise) behind the guard.
int eraseTestMarks(Sbscrbr& subscriber, const EraseTestMarks& what, Messages& messages, MessageGuard& guard);

} // namespace k4

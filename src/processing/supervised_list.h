#pragma once
// The supervised-subscribers list ("Lista Badanych Abonentów"): one line per
// subscriber with its paths, its tests and the arming state of its ten
// subsystem positions, and the filter the operator narrows it with.
#include "database/subscriber_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace k4 {

class SubscriberDatabase;
class SubscriberIndexes;

// Bits of the filter mask: the paths as the tracks bits (0..5), then
// armed, disarmed, tests received and tests missing. 0xFFFF: no filter.
enum : uint16_t {
    kFilterArmed = 0x0100,
    kFilterDisarmed = 0x0200,
    kFilterTests = 0x0400,
    kFilterNoTests = 0x0800,
    kNoFilter = 0xFFFF,
};

constexpr const char* kSupervisedHeading = "Testy 0 1 2 3 4 5 6 7 8 9";

// The line of a subscriber for a list w characters wide (Mazovia): number
// and name, the path marks (a supervised path's mark between "~"), the
// test display, and per position "Z" armed or "~W~" disarmed. activeOnly:
// positions without a supervised arming schedule get no mark.
std::string supervisedLine(const SubscriberRecord& record, int width, bool activeOnly);
// Whether the subscriber stays in a list collected with this mask.
bool passesFilter(const SubscriberRecord& record, uint16_t mask);
// The record offsets of the subscribers of "numer" in number order that pass.
std::vector<int32_t> supervisedSubscribers(SubscriberIndexes& indexes, SubscriberDatabase& database, uint16_t mask);

} // namespace k4

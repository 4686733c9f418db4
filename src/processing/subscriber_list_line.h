#pragma once
// The line of a subscriber in the subscriber list window and its print
// dialog: number and name, then marks in columns counted back from the end
// of a line w characters wide (paths, arming supervision, the two tests, the
// event list). The mark of a supervised path stands between "~", which the
// drawing leaves out and shows red. Mazovia.
#include "database/subscriber_record.h"

#include <string>

namespace k4 {

constexpr const char* kSubscriberListHeading = "                  Abonent                     Tory       Testy L.zd.";

// sharedSlot: the shared-list slot (1..15) holding the subscriber's event
// list, 0 for a list of its own; unused with the standard list.
std::string subscriberListLine(const SubscriberRecord& record, int width, int sharedSlot);

} // namespace k4

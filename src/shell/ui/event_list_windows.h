#pragma once
// The event-list windows over a running station: "Wspólne listy zdarzeń"
// with the choosers its dialogs need (a shared list, a subscriber's list,
// a "*.al" file, a standard code).
#include "database/subscriber_search.h"

#include <functional>

class QWidget;

namespace k4 {

class Printing;
class Station;

// findSubscriber: the subscriber finder of the main window ({-1, -1} when
// the search ends without a choice).
void openSharedEventLists(Station& station, Printing* printing, QWidget* parent,
                          std::function<SubscriberFound()> findSubscriber);

} // namespace k4

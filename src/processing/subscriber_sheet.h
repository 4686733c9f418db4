#pragma once
// The data sheet of one subscriber on the data printer: the basic and the
// optional data, the description, persons, subsystems with sectors, the
// event list (when the operator wants it) and the permitted orders. It
// prints into the listing job the caller has opened; the inputs are served
// between its blocks, so reports keep coming while it prints.
#include "config/config_block.h"

namespace k4 {

class Clock;
class EventTable;
class Printing;
class Sbscrbr;
class ShareLst;

struct SheetParts {
    Printing& printing;
    const Clock& clock;
    const EventTable& events;
    const ShareLst& sharedLists;
    const ConfigBlock& config;
};

// 0 printed whole; -1 when a failure (told to the operator) ended it.
int PrintSheet(Sbscrbr& subscriber, const SheetParts& parts);

// The sheet as one listing job: nothing when the data printer cannot be
// opened (-1).
int printSubscriberSheet(Sbscrbr& subscriber, const SheetParts& parts);

} // namespace k4

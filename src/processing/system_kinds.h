#pragma once
// The list of system event kinds the operator picks from in the history
// filter ("Zdarzenia programowe"): every kind that has a text of its own.
#include "processing/event_text.h"

#include <string>
#include <vector>

namespace k4 {

struct SystemKindLine {
    int kind;
    std::string line; // "%3.3X " and the kind's text, Mazovia
};

// Kinds 0..79 and 302..305, each formatted from an otherwise empty system
// entry; the kinds that only have the "no such event" text are left out.
std::vector<SystemKindLine> systemKindLines(const EventFormatter& formatter);

} // namespace k4

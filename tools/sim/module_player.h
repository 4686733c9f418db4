#pragma once
// Plays the module bus: the interface port answers the slot the station
// selects, the data port answers as the selected module of its kind would —
// its type, its status, its report blocks, the orders it takes — and every
// byte the station sends is checked against what a module may receive.
#include "sim/module_scenario.h"
#include "sim/pty_link.h"

#include <atomic>
#include <iosfwd>

namespace k4::sim {

struct ModulePlayResult {
    int passed = 0;
    int failed = 0;
    int polls = 0;     // mode bytes answered
    int reports = 0;   // report blocks the station accepted
    int orders = 0;    // orders taken from the station
};

struct ModulePlayOptions {
    int answerTimeoutMs = 1000; // how long the module waits for the station's next byte
    double lingerSeconds = 5;   // serving the bus after the last step
    const std::atomic<bool>* stop = nullptr; // set by a signal: end now, with the summary
};

ModulePlayResult playModuleScenario(PtyLink& interfacePort, PtyLink& dataPort, const ModuleScenario& scenario,
                                    const ModulePlayOptions& options, std::ostream& log);

} // namespace k4::sim

#pragma once
// Plays a receiving base: sends the steps of a scenario on the line and
// checks the station's answer to every frame (0x0A 0x0D accepted, 0x0E 0x0D
// refused).
#include "sim/base_scenario.h"
#include "sim/pty_link.h"

#include <iosfwd>

namespace k4::sim {

struct PlayResult {
    int frames = 0;
    int asExpected = 0;
    int failed = 0;
    int accepted = 0; // frames the station answered 0x0A 0x0D
    int sends = 0;    // frames put on the line, repeats included
};

struct PlayOptions {
    int intervalMs = 500;       // pause between steps (0: the next frame right after the answer)
    int answerTimeoutMs = 2000; // how long each byte of a frame's answer is waited for
    int loops = -1;             // "loop" steps honoured this often (-1 forever)
    bool quiet = false;         // log only the frames not answered as expected
    // As a base does with a report the centre did not accept (no answer, or
    // a refusal): it stays in the buffer and is sent again, up to this many
    // more times, one interval apart. Only frames expected to be accepted.
    int repeats = 0;
};

PlayResult playBaseScenario(PtyLink& link, const std::vector<BaseStep>& steps, const PlayOptions& options,
                            std::ostream& log);

} // namespace k4::sim

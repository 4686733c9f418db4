#pragma once
// The receiving base of another centre on a serial line: it takes the
// frames a transmitting centre forwards (and its test frames), checks each
// one's checksum and answers LF CR, or refuses with SO CR, or stays silent.
#include "sim/pty_link.h"

#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace k4::sim {

enum class FarBaseAnswer { Accept, Refuse, Silent };

struct FarBaseResult {
    int frames = 0;    // whole frames with a right checksum
    int forwards = 0;  // of them, forwarded reports
    int tests = 0;     // empty or filler test frames
    int badFrames = 0; // a wrong checksum or a broken frame
};

// The text of one frame for the log, or why it is not one.
std::string describeForwardFrame(const std::vector<uint8_t>& frame);

FarBaseResult playFarBase(PtyLink& link, FarBaseAnswer answer, double seconds, const std::atomic<bool>* stop,
                          std::ostream& log);

} // namespace k4::sim

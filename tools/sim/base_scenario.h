#pragma once
// The scenario of a simulated receiving base: one step a line.
//
//   report SUB CODE [SUBSYSTEM [SECTOR]] [phone DIGITS] [time YYMMDDhhmmss|now]
//   badsum SUB CODE ...     the same frame with a wrong checksum
//   test                    a link test (an empty frame)
//   filler                  the AA filler frame of a transmitting centre
//   frame HEX...            records in hex; LF, length, CR and checksum added
//   raw HEX...              bytes sent exactly as given
//   noise N                 N bytes of line noise (never 0x0A)
//   wait SECONDS            a pause (fractions allowed)
//   loop                    start the scenario again from its first step
//
// SUB is decimal (or four hex digits such as AAAA); CODE, SUBSYSTEM and
// SECTOR are hexadecimal as the wire carries them. '#' starts a comment.
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace k4::sim {

struct BaseStep {
    enum class Kind { Frame, Raw, Noise, Wait, Loop };
    Kind kind = Kind::Frame;
    std::vector<uint8_t> bytes;      // what goes on the wire
    enum class Expect { Accept, Refuse, Nothing } expect = Expect::Nothing;
    int count = 0;                   // noise bytes
    double seconds = 0;              // wait
    std::string text;                // the line, for the log
    bool stampNow = false;           // the time record is filled when sent
    int checksumSkew = 0;            // 1 for a frame whose checksum is to be wrong
};

// Parses a scenario; on a bad line gives nothing and says which line.
std::optional<std::vector<BaseStep>> parseBaseScenario(std::istream& in, std::string& error);

// LF, L, the records, CR and the checksum (plus a skew to spoil it).
std::vector<uint8_t> baseFrameBytes(const std::vector<uint8_t>& records, int checksumSkew = 0);

// The twelve digits of a transmitter time stamp for the current local time.
std::string stampDigitsNow();

} // namespace k4::sim

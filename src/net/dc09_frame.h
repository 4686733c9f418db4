#pragma once
// The frames IP alarm panels send to the centre and the answers the centre
// sends back: LF, four hex digits of CRC, the length ("0" and three hex
// digits), the quoted kind, the sequence, the optional receiver and line
// numbers, the account, the bracketed data, optional extended blocks and a
// UTC time stamp, CR. Everything here is pure text work, so the parser can
// be fed any bytes a socket gives and the builder's output checked byte for
// byte.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

// The CRC-16 every frame carries: polynomial 0x8005 taken bit-reversed
// (0xA001), starting from 0, over the bytes from the opening quote of the
// kind up to the last byte before CR.
uint16_t dc09Crc(std::string_view bytes);

// The longest frame taken from a panel, LF and CR included. The length
// field could say up to 0xFFF; nothing a panel sends comes near it, and a
// bound keeps a connection's buffer small.
constexpr size_t kDc09MaxFrame = 1024;

enum class Dc09FrameError : uint8_t {
    None,
    Format, // not LF .. CR, or the fields do not read
    Length, // the length field does not match
    Crc,    // the CRC does not match
};

struct Dc09Frame {
    std::string kind;       // "SIA-DCS", "ADM-CID", "NULL", "ACK"... without the '*'
    bool encrypted = false; // the kind came with '*'
    std::string sequence;   // four digits, kept as sent to be echoed
    std::string receiver;   // the digits after 'R', empty when absent
    std::string line;       // the digits after 'L', empty when absent
    std::string account;    // the digits after '#', empty when absent
    // Everything after '[' up to CR: in clear "data]" with the extended
    // blocks and the time stamp; encrypted, the hex of the cipher text.
    std::string tail;
};

struct Dc09FrameParse {
    Dc09FrameError error = Dc09FrameError::Format;
    Dc09Frame frame; // the fields that could be read, also on a CRC error
};

// One frame, LF first and CR last.
Dc09FrameParse parseDc09Frame(std::string_view bytes);

// A time stamp as the frames carry it, in UTC.
struct Dc09Time {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
int64_t dc09Seconds(const Dc09Time& t); // seconds since 1970-01-01 UTC
Dc09Time dc09TimeOf(int64_t seconds);
std::string dc09TimeText(int64_t seconds); // "_HH:MM:SS,MM-DD-YYYY"

// What the text after '[' says, decrypted when it was encrypted.
struct Dc09Content {
    std::string data;                  // between '[' and ']'
    std::vector<std::string> extended; // each "[X...]" without its brackets
    std::optional<int64_t> stamp;      // the time stamp, seconds UTC
};
// Nothing when the text does not read as data, blocks and a time stamp.
std::optional<Dc09Content> parseDc09Content(std::string_view tail);

// A whole frame around the body ("\"ACK\"0001R1L1#1234[]" and the like):
// LF, CRC, length, body, CR.
std::string dc09Wrap(std::string_view body);

// The fields an answer echoes.
struct Dc09Echo {
    std::string sequence = "0000";
    std::string receiver;
    std::string line;
    std::string account;
};
// The body of a frame up to and including '[': quoted kind, sequence,
// receiver, line, account.
std::string dc09Head(std::string_view kind, bool encrypted, const Dc09Echo& echo);

} // namespace k4

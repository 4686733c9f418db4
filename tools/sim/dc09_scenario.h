#pragma once
// The IP alarm panels' side of a scenario: frames the centre must answer,
// in clear or encrypted, over TCP or UDP, whole or damaged, each with the
// answer it must get. One step a line ('#' at the start of a line: a
// comment):
//
//   tcp | udp                  how the following frames travel (TCP first:
//                              one connection, kept open between frames)
//   reconnect                  the TCP connection is closed; the next TCP
//                              frame opens another
//   key ACCOUNT HEX|-          ACCOUNT's frames go encrypted with this key
//                              (32, 48 or 64 hex digits) from now on; "-": in clear
//   prefix RECEIVER|- LINE|-   the "R" and "L" numbers of the following
//                              frames ("-" leaves one out; at first "-" and "0")
//   sia ACCOUNT DATA [MODS]    "SIA-DCS", data "#ACCOUNT|DATA" (e.g. Nri1/BA01)
//   cid ACCOUNT QEEE GG ZZZ [MODS]   "ADM-CID", data "#ACCOUNT|QEEE GG ZZZ"
//   null ACCOUNT [MODS]        "NULL", the supervision frame with no data
//   kind NAME ACCOUNT DATA [MODS]    a frame of any other kind (a DUH is expected)
//   wait SECONDS
//
// MODS damage or change one frame:
//   crc        a wrong CRC                 length     a wrong length field
//   late       time stamp 5 minutes behind early      2 minutes ahead
//   nostamp    no time stamp               clear      in clear despite a key
//   wrongkey   encrypted with a key the centre does not have
//   seq NNNN   this sequence number (else each account counts 0001 on)
//   expect ack|nak|duh|none    the answer to get; by default an ACK, a NAK
//              for crc, length, late, early, wrongkey, clear (with a key)
//              and nostamp (encrypted), and a DUH for "kind"
#include <cstdint>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace k4::sim {

enum class Dc09Expect : uint8_t { Ack, Nak, Duh, None };

struct Dc09Step {
    enum class Kind { Frame, Tcp, Udp, Reconnect, Key, Prefix, Wait };
    Kind kind = Kind::Wait;
    std::string frameKind; // "SIA-DCS", "ADM-CID", "NULL" or any
    std::string account;
    std::string data;      // between '[' and ']'
    std::string keyHex;    // Key: "-" for clear
    std::string receiver;  // Prefix: "" for none
    std::string line;
    std::string sequence;  // empty: the account's next
    bool badCrc = false, badLength = false, noStamp = false, clear = false, wrongKey = false;
    int64_t stampOffset = 0; // seconds added to the time stamp
    Dc09Expect expect = Dc09Expect::Ack;
    bool expectWritten = false; // "expect" given: no default applies
    double seconds = 0;
    std::string text; // the scenario's line, for the log
};

std::optional<std::vector<Dc09Step>> parseDc09Scenario(std::istream& in, std::string& error);

const char* dc09ExpectName(Dc09Expect e);

} // namespace k4::sim

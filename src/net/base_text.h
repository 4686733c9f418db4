#pragma once
// The text protocol of the Ethernet receiving bases: report messages
// ("$" or "&", a two-hex-digit sequence, tokens, "#"), the bases' answers
// to the centre's commands ("%", sequence, blank, type letter, value) and
// the short acknowledgement the centre gives every report message.
#include <cstdint>
#include <string>
#include <string_view>

namespace k4 {

// Messages of 65 bytes or more are not the bases'.
constexpr size_t kMaxBaseMessage = 64;

// The "%" answer: returns the acknowledged sequence and sets value by the
// type letter ("y" the number at 5; "p" the number at 5 with the two hex
// digits after an "X" in bits 8-15; "#" 0x50000); another letter leaves
// value as it was.
int parseCommandReply(std::string_view s, int32_t& value);

// Turns a report message into its confirmation in place: "%" first, the
// message type after the "g" token made 0x80 and its flags "03". false
// (and s untouched) when the message has no "g" token or is too short for
// the fields the confirmation rewrites.
bool makeConfirmation(std::string& s);

// "$1F#": the first three characters and "#".
std::string baseAcknowledgement(std::string_view s);

// Whether a message is only framing: its token part is empty ("#" at 7).
inline bool carriesNoTokens(std::string_view s) { return s.size() > 7 && s[7] == '#'; }

} // namespace k4

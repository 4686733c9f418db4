#pragma once
// A base's text in the history: kind-67 system entries of five characters
// each, so that the technician reads what a base sent (unframed text, and
// every report message until its parser takes them over).
#include <string_view>

namespace k4 {

class HistoryLog;

enum : int { kHistoryBaseText = 67 };

// At most ten whole chunks of five, then the rest (n mod 5) in a closing
// entry that carries its count and the 0x80 mark.
void logBaseText(HistoryLog& history, int transmissionType, int baseNumber, std::string_view s, size_t n);

} // namespace k4

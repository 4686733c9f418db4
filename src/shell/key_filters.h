#pragma once
// Key filters of numeric edit fields: each gives back the typed character
// when it is allowed there, or 0 to drop the key. Backspace always passes.
#include <string_view>

namespace k4 {

char DigitsKey(char key);
// Hexadecimal digits; small a..f come out as capitals.
char HexDigitsKey(char key);
// Digits and one decimal point: "." passes only while the text has none.
char DecimalKey(char key, std::string_view editText);
// Digits and one extra character (":" for times, "." for dates).
char DigitsPlusKey(char key, char extra);

} // namespace k4

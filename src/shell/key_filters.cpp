#include "shell/key_filters.h"

namespace k4 {

namespace {
constexpr char kBackspace = 8;
// Bytes above 0x7F are never digits, whatever a code page makes of them.
bool isDigit(char key) { return key >= '0' && key <= '9'; }
} // namespace

char DigitsKey(char key) { return key == kBackspace || isDigit(key) ? key : 0; }

char HexDigitsKey(char key) {
    if (key == kBackspace || isDigit(key) || (key >= 'A' && key <= 'F')) return key;
    if (key >= 'a' && key <= 'f') return static_cast<char>(key - 'a' + 'A');
    return 0;
}

char DecimalKey(char key, std::string_view editText) {
    if (key == kBackspace || isDigit(key)) return key;
    if (key == '.' && editText.find('.') == std::string_view::npos) return key;
    return 0;
}

char DigitsPlusKey(char key, char extra) {
    return key == kBackspace || isDigit(key) || (key == extra && key != 0) ? key : 0;
}

} // namespace k4

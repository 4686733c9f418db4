#include "net/base_text.h"

#include <cctype>

namespace k4 {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A hex number from at, as strtol would read it: blanks first, then
// digits; 0 when there are none. Bounded so a long run of digits cannot
// overflow.
int32_t hexAt(std::string_view s, size_t at) {
    while (at < s.size() && s[at] == ' ') ++at;
    uint32_t v = 0;
    int digits = 0;
    for (; at < s.size() && hexValue(s[at]) >= 0; ++at)
        if (digits++ < 7) v = (v << 4) | static_cast<uint32_t>(hexValue(s[at]));
    return static_cast<int32_t>(v);
}

} // namespace

int parseCommandReply(std::string_view s, int32_t& value) {
    if (s.empty() || s[0] != '%') return 0;
    // The sequence: the hex digits after "%" (two in every base's answer).
    int sequence = 0;
    size_t at = 1;
    for (int digits = 0; at < s.size() && hexValue(s[at]) >= 0; ++at)
        if (digits++ < 2) sequence = sequence * 16 + hexValue(s[at]);
    const char type = s.size() > 4 ? s[4] : '\0';
    switch (type) {
    case 'y': value = hexAt(s, 5); break;
    case 'p': {
        const int32_t v = hexAt(s, 5);
        int32_t x = -1;
        for (size_t i = 5; i < s.size() && i <= 49 && s[i] != '#'; ++i) {
            if (s[i] != 'X') continue;
            const int hi = i + 1 < s.size() ? hexValue(s[i + 1]) : -1;
            const int lo = i + 2 < s.size() ? hexValue(s[i + 2]) : -1;
            // "X" without its two digits gives what the digits there are.
            x = hi < 0 ? 0 : (lo < 0 ? hi : hi * 16 + lo);
            break;
        }
        value = x < 0 ? v : ((x << 8) | v);
        break;
    }
    case '#': value = 0x50000; break;
    default: break;
    }
    return sequence & 0xFF;
}

bool makeConfirmation(std::string& s) {
    const size_t g = s.find('g');
    if (g == std::string::npos || g + 24 >= s.size()) return false;
    s[0] = '%';
    s[g + 3] = '8';
    s[g + 4] = '0';
    s[g + 23] = '0';
    s[g + 24] = '3';
    return true;
}

std::string baseAcknowledgement(std::string_view s) {
    std::string ack(s.substr(0, 3));
    ack.resize(3, ' ');
    ack += '#';
    return ack;
}

} // namespace k4

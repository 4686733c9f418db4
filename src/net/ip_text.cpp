#include "net/ip_text.h"

#include <cctype>
#include <cstdio>

namespace k4 {

std::optional<Ipv4> parseDottedIp(const std::string& text) {
    Ipv4 out{};
    size_t at = 0;
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            if (at >= text.size() || text[at] != '.') return std::nullopt;
            ++at;
        }
        int value = 0;
        int digits = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            value = value * 10 + (text[at] - '0');
            if (++digits > 3) return std::nullopt;
            ++at;
        }
        if (digits == 0 || value > 255) return std::nullopt;
        out[static_cast<size_t>(k)] = static_cast<uint8_t>(value);
    }
    if (at != text.size()) return std::nullopt;
    return out;
}

std::string dottedIp(const Ipv4& a) {
    char text[20];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    return text;
}

} // namespace k4

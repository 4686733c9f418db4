#include "net/ip_text.h"

#include <cctype>
#include <cstdio>

namespace k4 {

uint32_t ipToInt(const std::string& text) {
    uint32_t value = 0;
    for (size_t k = 0; k < 4; ++k) {
        const size_t at = 4 * k;
        std::string field = at < text.size() ? text.substr(at, 3) : std::string();
        while (!field.empty() && field.front() == ' ') field.erase(field.begin());
        while (!field.empty() && (field.back() == ' ' || field.back() == '.')) field.pop_back();
        int octet = 0;
        bool number = !field.empty();
        for (char c : field) {
            if (!std::isdigit(static_cast<unsigned char>(c))) {
                number = false;
                break;
            }
            octet = octet * 10 + (c - '0');
        }
        value = (value << 8) | static_cast<uint32_t>(number ? octet & 0xFF : 0);
    }
    return value;
}

std::string intToIp(uint32_t v) {
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (v >> 24) & 0xFF, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    return text;
}

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

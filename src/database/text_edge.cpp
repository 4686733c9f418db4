#include "database/text_edge.h"

#include "database/codepage.h"

#include <array>
#include <cstdint>

namespace k4 {

namespace {

// Unicode of CP1250 bytes 0x80..0xFF; 0 marks the five undefined bytes.
constexpr char16_t kCp1250High[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, // 80
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

char32_t unicodeOf(unsigned char c) {
    if (c < 0x80) return c;
    char16_t u = kCp1250High[c - 0x80];
    return u ? u : c;
}

void appendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

char cp1250Of(char32_t u) {
    if (u < 0x80) return static_cast<char>(u);
    for (int i = 0; i < 128; ++i) {
        char32_t mapped = kCp1250High[i] ? kCp1250High[i] : static_cast<char32_t>(0x80 + i);
        if (mapped == u) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input gives
// U+FFFD and consumes one byte.
char32_t decodeUtf8(std::string_view s, size_t& i) {
    auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    const size_t extra = (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : 0;
    if (extra == 0 || i + extra >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t u = b & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        u = (u << 6) | (c & 0x3F);
    }
    i += extra + 1;
    return u;
}

} // namespace

std::string Utf8FromCp1250(std::string_view cp1250) {
    std::string out;
    out.reserve(cp1250.size() * 2);
    for (char c : cp1250) appendUtf8(out, unicodeOf(static_cast<unsigned char>(c)));
    return out;
}

std::string Cp1250FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) out += cp1250Of(decodeUtf8(utf8, i));
    return out;
}

std::string Utf8FromMazovia(std::string_view mazovia) {
    std::string text(mazovia);
    ConvertCodePage(text, kCp1250);
    return Utf8FromCp1250(text);
}

std::string MazoviaFromUtf8(std::string_view utf8) {
    std::string text = Cp1250FromUtf8(utf8);
    ConvertCodePage(text, -kCp1250);
    return text;
}

} // namespace k4

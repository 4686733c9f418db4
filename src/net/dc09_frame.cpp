#include "net/dc09_frame.h"

#include <array>
#include <cstdio>

namespace k4 {

namespace {

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return c - 'a' + 10;
}

std::optional<unsigned> hexNumber(std::string_view s) {
    unsigned v = 0;
    for (char c : s) {
        if (!isHex(c)) return std::nullopt;
        v = v * 16 + static_cast<unsigned>(hexValue(c));
    }
    return v;
}

// Reads a letter and 1..max hex digits at text[at]; moves at past them.
bool takePrefixed(std::string_view text, size_t& at, char letter, size_t min, size_t max, std::string& out) {
    if (at >= text.size() || text[at] != letter) return false;
    size_t end = at + 1;
    while (end < text.size() && isHex(text[end]) && end - at - 1 < max) ++end;
    const size_t count = end - at - 1;
    if (count < min) return false;
    out.assign(text.substr(at + 1, count));
    at = end;
    return true;
}

int daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int daysInMonth(int y, int m) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[static_cast<size_t>(m - 1)];
}

int number(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

// "_HH:MM:SS,MM-DD-YYYY" exactly.
std::optional<int64_t> parseStamp(std::string_view s) {
    static constexpr std::string_view shape = "_00:00:00,00-00-0000";
    if (s.size() != shape.size()) return std::nullopt;
    for (size_t i = 0; i < s.size(); ++i) {
        if (shape[i] == '0' ? !isDigit(s[i]) : s[i] != shape[i]) return std::nullopt;
    }
    Dc09Time t;
    t.hour = number(s.substr(1, 2));
    t.minute = number(s.substr(4, 2));
    t.second = number(s.substr(7, 2));
    t.month = number(s.substr(10, 2));
    t.day = number(s.substr(13, 2));
    t.year = number(s.substr(16, 4));
    if (t.hour > 23 || t.minute > 59 || t.second > 59 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > daysInMonth(t.year, t.month) || t.year < 1970)
        return std::nullopt;
    return dc09Seconds(t);
}

} // namespace

uint16_t dc09Crc(std::string_view bytes) {
    uint16_t crc = 0;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

Dc09FrameParse parseDc09Frame(std::string_view bytes) {
    Dc09FrameParse out;
    // LF, 4 CRC, 4 length, at least the shortest body, CR.
    if (bytes.size() < 10 || bytes.size() > kDc09MaxFrame || bytes.front() != '\n' || bytes.back() != '\r')
        return out;
    const auto crc = hexNumber(bytes.substr(1, 4));
    const auto length = bytes[5] == '0' ? hexNumber(bytes.substr(6, 3)) : std::nullopt;
    if (!crc || !length) return out;
    const std::string_view body = bytes.substr(9, bytes.size() - 10);

    // The fields are read first, so that a NAK for a damaged frame can still
    // name the receiver and line it came for.
    Dc09Frame& f = out.frame;
    size_t at = 0;
    if (body.empty() || body[0] != '"') return out;
    const size_t close = body.find('"', 1);
    if (close == std::string_view::npos || close > 18) return out;
    std::string_view kind = body.substr(1, close - 1);
    if (!kind.empty() && kind[0] == '*') {
        f.encrypted = true;
        kind.remove_prefix(1);
    }
    if (kind.empty()) return out;
    for (char c : kind) {
        if (c < 0x21 || c > 0x7E) return out;
    }
    f.kind.assign(kind);
    at = close + 1;
    if (body.size() < at + 4) return out;
    for (size_t i = at; i < at + 4; ++i) {
        if (!isDigit(body[i])) return out;
    }
    f.sequence.assign(body.substr(at, 4));
    at += 4;
    takePrefixed(body, at, 'R', 1, 6, f.receiver);
    takePrefixed(body, at, 'L', 1, 6, f.line);
    if (at < body.size() && body[at] == '#') {
        if (!takePrefixed(body, at, '#', 3, 16, f.account)) return out;
    } else {
        // A NAK names no account: "A0" stands where it would be.
        std::string ignored;
        takePrefixed(body, at, 'A', 1, 16, ignored);
    }
    if (at >= body.size() || body[at] != '[') return out;
    f.tail.assign(body.substr(at + 1));

    if (*length != body.size()) {
        out.error = Dc09FrameError::Length;
        return out;
    }
    if (*crc != dc09Crc(body)) {
        out.error = Dc09FrameError::Crc;
        return out;
    }
    out.error = Dc09FrameError::None;
    return out;
}

int64_t dc09Seconds(const Dc09Time& t) {
    return static_cast<int64_t>(daysFromCivil(t.year, t.month, t.day)) * 86400 + t.hour * 3600 + t.minute * 60 +
           t.second;
}

Dc09Time dc09TimeOf(int64_t seconds) {
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // civil from days
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    Dc09Time t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

std::string dc09TimeText(int64_t seconds) {
    const Dc09Time t = dc09TimeOf(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "_%02d:%02d:%02d,%02d-%02d-%04d", t.hour, t.minute, t.second, t.month, t.day,
                  t.year);
    return text;
}

std::optional<Dc09Content> parseDc09Content(std::string_view tail) {
    Dc09Content c;
    const size_t close = tail.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    c.data.assign(tail.substr(0, close));
    if (c.data.find('[') != std::string::npos) return std::nullopt;
    size_t at = close + 1;
    while (at < tail.size() && tail[at] == '[') {
        const size_t end = tail.find(']', at);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view block = tail.substr(at + 1, end - at - 1);
        if (block.empty() || block.find('[') != std::string_view::npos) return std::nullopt;
        c.extended.emplace_back(block);
        at = end + 1;
    }
    if (at < tail.size()) {
        c.stamp = parseStamp(tail.substr(at));
        if (!c.stamp) return std::nullopt;
    }
    return c;
}

std::string dc09Wrap(std::string_view body) {
    char head[16];
    std::snprintf(head, sizeof head, "\n%04X0%03X", dc09Crc(body), static_cast<unsigned>(body.size() & 0xFFF));
    std::string out(head);
    out.append(body);
    out.push_back('\r');
    return out;
}

std::string dc09Head(std::string_view kind, bool encrypted, const Dc09Echo& echo) {
    std::string out = "\"";
    if (encrypted) out.push_back('*');
    out.append(kind);
    out.push_back('"');
    out.append(echo.sequence);
    if (!echo.receiver.empty()) out.append("R").append(echo.receiver);
    if (!echo.line.empty()) out.append("L").append(echo.line);
    if (!echo.account.empty()) out.append("#").append(echo.account);
    out.push_back('[');
    return out;
}

} // namespace k4

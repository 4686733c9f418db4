#include "net/dc09_events.h"

#include <array>
#include <algorithm>
#include <charconv>

namespace k4 {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

std::string_view withoutAccount(std::string_view data) {
    if (!data.empty() && data[0] == '#') {
        const size_t bar = data.find('|');
        if (bar == std::string_view::npos) return {};
        data.remove_prefix(bar + 1);
    } else if (!data.empty() && data[0] == '|') {
        data.remove_prefix(1);
    }
    return data;
}

int digitsValue(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

} // namespace

std::optional<Dc09Event> dc09ContactIdEvent(std::string_view data) {
    data = withoutAccount(data);
    // Q EEE GG ZZZ: the spaces are optional, every other byte a digit.
    std::array<int, 9> d{};
    size_t n = 0;
    for (char c : data) {
        if (c == ' ') continue;
        if (!isDigit(c) || n == d.size()) return std::nullopt;
        d[n++] = c - '0';
    }
    if (n != d.size() || (d[0] != 1 && d[0] != 3 && d[0] != 6)) return std::nullopt;
    // The module's block of a full Contact Id message: kind, account,
    // qualifier with the first event digit, the other two, group, zone;
    // the kind whose digits are plain (0 is 0, not the tone's 0xA).
    auto nib = [](int v) { return static_cast<uint8_t>(v); };
    std::array<uint8_t, 10> block{};
    block[0] = 3;
    block[3] = 0x18; // message type 18
    block[4] = static_cast<uint8_t>(nib(d[0]) << 4 | nib(d[1]));
    block[5] = static_cast<uint8_t>(nib(d[2]) << 4 | nib(d[3]));
    block[6] = static_cast<uint8_t>(nib(d[4]) << 4 | nib(d[5]));
    block[7] = static_cast<uint8_t>(nib(d[6]) << 4 | nib(d[7]));
    block[8] = static_cast<uint8_t>(nib(d[8]) << 4);
    const DecodedBlock decoded = decodeContactIdBlock(block, BlockOptions{});
    if (decoded.outcome != BlockOutcome::Report) return std::nullopt;
    Dc09Event e;
    e.code = decoded.code;
    e.subsystem = decoded.subsystem;
    e.sector = decoded.sector;
    // 602 is the periodic test report, 601 a test the user asked for.
    e.periodicTest = d[0] == 1 && d[1] == 6 && d[2] == 0 && (d[3] == 2 || d[3] == 3);
    return e;
}

SiaCodeMap::SiaCodeMap() {
    // The station's codes are those of the same event in Contact Id; a
    // restore is the code + 0x800.
    struct Default {
        const char* letters;
        int32_t code;
        bool test;
    };
    static constexpr Default defaults[] = {
        {"BA", 0x130, false}, {"BR", 0x930, false}, // burglary
        {"BT", 0x380, false}, {"BJ", 0xB80, false}, // burglary trouble
        {"BB", 0x570, false}, {"BU", 0xD70, false}, // zone bypassed / unbypassed
        {"FA", 0x110, false}, {"FR", 0x910, false}, // fire
        {"FT", 0x373, false}, {"FJ", 0xB73, false}, // fire trouble
        {"PA", 0x120, false}, {"PR", 0x920, false}, // panic
        {"HA", 0x122, false}, {"HR", 0x922, false}, // hold-up
        {"MA", 0x100, false}, {"MR", 0x900, false}, // medical
        {"TA", 0x137, false}, {"TR", 0x937, false}, // tamper
        {"GA", 0x151, false}, {"GR", 0x951, false}, // gas
        {"WA", 0x154, false}, {"WR", 0x954, false}, // water
        {"AT", 0x301, false}, {"AR", 0xB01, false}, // mains lost / restored
        {"YT", 0x302, false}, {"YR", 0xB02, false}, // low battery / restored
        {"YC", 0x350, false}, {"YK", 0xB50, false}, // communication trouble / restored
        {"OP", 0x401, false}, {"CL", 0xC01, false}, // opening / closing by user
        {"OA", 0x403, false}, {"CA", 0xC03, false}, // automatic opening / closing
        {"RP", 0x602, true},  {"RX", 0x601, true},  // periodic test, manual test
        {"RR", 0x305, false},                        // system reset
    };
    for (const Default& d : defaults) entries_[d.letters] = Entry{d.code, d.test};
}

std::vector<int> SiaCodeMap::load(std::string_view text) {
    std::vector<int> bad;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (const size_t comment = line.find(';'); comment != std::string_view::npos) line = line.substr(0, comment);
        std::vector<std::string_view> words;
        size_t at = 0;
        while (at < line.size()) {
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
            size_t stop = at;
            while (stop < line.size() && line[stop] != ' ' && line[stop] != '\t' && line[stop] != '\r') ++stop;
            if (stop > at) words.push_back(line.substr(at, stop - at));
            at = stop;
        }
        if (words.empty()) continue;
        unsigned code = 0;
        const bool lettersOk = words[0].size() == 2 && isUpper(words[0][0]) && isUpper(words[0][1]);
        const auto [ptr, ec] = words.size() >= 2 ? std::from_chars(words[1].data(), words[1].data() + words[1].size(), code, 16)
                                                 : std::from_chars_result{nullptr, std::errc::invalid_argument};
        const bool codeOk = words.size() >= 2 && ec == std::errc{} && ptr == words[1].data() + words[1].size() && code <= 0xFFF;
        const bool tailOk = words.size() == 2 || (words.size() == 3 && words[2] == "test");
        if (!lettersOk || !codeOk || !tailOk) {
            bad.push_back(lineNumber);
            continue;
        }
        entries_[std::string(words[0])] = Entry{static_cast<int32_t>(code), words.size() == 3};
    }
    return bad;
}

std::optional<SiaCodeMap::Entry> SiaCodeMap::find(std::string_view letters) const {
    const auto it = entries_.find(std::string(letters));
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

std::vector<Dc09Event> dc09SiaEvents(std::string_view data, const SiaCodeMap& map, int* unknown) {
    std::vector<Dc09Event> events;
    int missed = 0;
    data = withoutAccount(data);
    // 'N' a new event, 'O' an old one sent again: both are reports.
    if (!data.empty() && (data[0] == 'N' || data[0] == 'O')) data.remove_prefix(1);
    int32_t group = 255;
    while (!data.empty()) {
        const size_t slash = data.find('/');
        std::string_view item = data.substr(0, slash);
        data = slash == std::string_view::npos ? std::string_view{} : data.substr(slash + 1);
        // Several codes may share one item ("BA01BA02" is rare but legal):
        // walk two letters and their digits at a time.
        while (item.size() >= 2) {
            const std::string_view letters = item.substr(0, 2);
            size_t end = 2;
            while (end < item.size() && isDigit(item[end])) ++end;
            const std::string_view digits = item.substr(2, std::min<size_t>(end - 2, 4));
            if (letters == "ri") {
                group = digits.empty() ? 255 : digitsValue(digits);
            } else if (isUpper(letters[0]) && isUpper(letters[1])) {
                if (const auto entry = map.find(letters)) {
                    Dc09Event e;
                    e.code = entry->code;
                    e.subsystem = group;
                    e.sector = digits.empty() ? 4095 : std::min(digitsValue(digits), 4095);
                    e.periodicTest = entry->periodicTest;
                    events.push_back(e);
                } else {
                    ++missed;
                }
            } else {
                // "id", "ti", "pi" and the like: modifiers the centre does not use.
                break;
            }
            item.remove_prefix(end);
        }
    }
    if (unknown) *unknown = missed;
    return events;
}

} // namespace k4

#include "net/base_message.h"

namespace k4 {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    // Not a digit the bases write: some value, as the bases' own readers
    // would make of it, but always one nibble.
    return (c - 'A' + 10) & 0x0F;
}

namespace {

int decimalDigit(char c) { return c >= '0' && c <= '9' ? c - '0' : (c - '0') & 0x0F; }

int hexField(std::string_view t, size_t at, size_t width) {
    int v = 0;
    for (size_t i = 0; i < width; ++i) v = v * 16 + hexDigit(t[at + i]);
    return v;
}

int decimalField(std::string_view t, size_t at, size_t width) {
    int v = 0;
    for (size_t i = 0; i < width; ++i) v = v * 10 + decimalDigit(t[at + i]);
    return v;
}

// Four decimal digits, or four hexadecimal ones when any character is
// above "9" (hexNumber then set).
void subscriberField(std::string_view t, size_t at, BaseMessage& m) {
    bool hex = false;
    for (size_t i = 0; i < 4; ++i) hex = hex || t[at + i] > '9';
    m.subscriber = hex ? hexField(t, at, 4) : decimalField(t, at, 4);
    m.hexNumber = hex;
}

bool gprsSourceKind(int kind) { return kind == 0x80 || kind == 0x90 || kind == 0x10; }

void readG(std::string_view t, bool stdOdb, MessageReading& r) {
    BaseMessage& m = r.record;
    const int type = hexField(t, 3, 2);
    m.orderKey = hexField(t, 5, 2);
    subscriberField(t, 7, m);
    m.subsystem = hexField(t, 11, 2);
    m.code = hexField(t, 13, 3);
    m.sector = hexField(t, 16, 3);
    if (type == kGPartnerMessage || type == kGPartnerConfirmation) m.partnerParam = hexField(t, 23, 2);
    m.reportFlags = hexField(t, 25, 2);
    switch (type) {
    case kGReport:
    case kGReportOther:
        r.state = MessageState::Report;
        if (stdOdb) m.confirmMode = 2;
        break;
    case kGReportConfirmed:
        r.state = MessageState::Report;
        m.confirmMode = 1;
        break;
    case kGIgnored: r.state = MessageState::Ignored; break;
    case kGPartnerMessage: r.state = MessageState::PartnerMessage; break;
    case kGOrderAnswer:
    case kGOrderAnswerOther: r.state = MessageState::OrderAnswer; break;
    case kGPartnerConfirmation: r.state = MessageState::PartnerConfirmation; break;
    default: r.state = MessageState::None; break;
    }
}

void readPhone(std::string_view t, MessageReading& r, TokenLookups& lookups) {
    std::string_view digits = t.substr(1);
    // Numbers with a country prefix are known by their last nine digits.
    if (digits.size() > 9) digits = digits.substr(digits.size() - 9);
    r.phone = std::string(digits);
    r.phoneOwner = r.phone == "0" ? 0 : lookups.phoneOwner(r.phone, r.sourceKind);
}

void readClock(std::string_view t, const BaseMessage& m, TokenLookups& lookups) {
    if (m.subscriber == 0xAAAA) return;
    // Fourteen digits carry the century first; it is skipped.
    const size_t at = t.size() == 15 ? 3 : 1;
    std::array<uint8_t, 12> digits{};
    for (size_t i = 0; i < digits.size(); ++i) digits[i] = static_cast<uint8_t>(decimalDigit(t[at + i]));
    lookups.clockCheck(digits);
}

// The least length of each letter's layout; a token cut shorter is not read
// (its fields would lie past it).
size_t layoutLength(char letter) {
    switch (letter) {
    case 'a': case 'A': return 7;
    case 'm': case 'M': return 9;
    case 'l': return 10;
    case 'g': return 27;
    case 'c': return 13;
    case 'i': return 9;
    case 'j': return 3;
    case 'k': return 2;
    case 'p': return 3;
    case 's': return 9;
    case 't': return 2;
    case 'u': return 6;
    case 'x': return 3;
    case 'y': return 3;
    default: return 0;
    }
}

void readToken(std::string_view t, bool stdOdb, MessageReading& r, TokenLookups& lookups) {
    const size_t least = layoutLength(t[0]);
    if (least == 0 || t.size() < least) return;
    BaseMessage& m = r.record;
    switch (t[0]) {
    case 'a':
    case 'A':
        m.radioDigit = hexField(t, 1, 2);
        subscriberField(t, 3, m);
        r.namedSubscriber = t[0] == 'a' ? m.subscriber : 0;
        break;
    case 'm':
    case 'M':
        m.subsystem = hexField(t, 1, 2);
        m.code = hexField(t, 3, 3);
        m.sector = hexField(t, 6, 3);
        if (t[0] == 'M' || (m.subsystem == 0 && m.code == 0 && m.sector == 0)) break;
        if (gprsSourceKind(r.sourceKind) && m.subsystem == 9) {
            r.status = m.code;
            r.state = MessageState::OrderAnswer;
        } else {
            r.state = MessageState::Report;
        }
        break;
    case 'l':
        subscriberField(t, 1, m);
        m.code = hexField(t, 5, 3);
        m.subsystem = 0;
        m.sector = hexField(t, 8, 2);
        r.state = MessageState::Report;
        break;
    case 'g': readG(t, stdOdb, r); break;
    case 'c': readClock(t, m, lookups); break;
    case 'i':
        for (size_t i = 0; i < 4; ++i) r.partnerIp[i] = static_cast<uint8_t>(hexField(t, 1 + 2 * i, 2));
        break;
    case 'j':
        r.status = hexField(t, 1, 2);
        r.state = MessageState::OrderAnswer;
        break;
    case 'k': m.radioDigit = hexDigit(t[1]); break;
    case 'p': {
        const int v = hexField(t, 1, 2);
        r.sourceKind = v & 0xF0;
        r.sourceNumber = (v & 0x0F) == 0 ? 0 : (v & 0x0F) - 1;
        break;
    }
    case 's':
        m.quality1 = hexDigit(t[1]);
        m.quality2 = hexDigit(t[2]);
        m.quality3 = decimalField(t, 3, 4);
        m.quality4 = hexField(t, 7, 2);
        break;
    case 't': readPhone(t, r, lookups); break;
    case 'u':
        r.sourceKind = hexField(t, 1, 2) & 0xF0;
        r.status = decimalDigit(t[3]) * 256 + hexField(t, 4, 2);
        r.state = MessageState::LineState;
        break;
    case 'x':
        if (t.size() == 3) r.forwardCode = hexField(t, 1, 2);
        else if (stdOdb) r.text = "%07 y" + std::string(t.substr(1)) + "#";
        break;
    case 'y': r.resultCode = hexField(t, 1, 2); break;
    default: break;
    }
}

} // namespace

std::optional<MessageReading> readBaseMessage(std::string_view text, bool stdOdb, TokenLookups& lookups) {
    const size_t headerEnd = text.find(' ');
    if (headerEnd == std::string_view::npos) return std::nullopt;
    MessageReading r;
    size_t at = headerEnd;
    while (at < text.size()) {
        const char c = text[at];
        // The message closes with "#"; nothing after it belongs to it.
        if (c == '#') break;
        if (c == ' ') {
            ++at;
            continue;
        }
        const size_t end = text.find_first_of(" #", at);
        const std::string_view token = text.substr(at, end == std::string_view::npos ? text.size() - at : end - at);
        readToken(token, stdOdb, r, lookups);
        at += token.size();
    }
    return r;
}

} // namespace k4

#include "database/subscriber_card_fields.h"

#include "database/field_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

template <size_t N>
void putField(char (&field)[N], std::string_view text) {
    std::memset(field, 0, N);
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

uint8_t nibble(int choice) { return static_cast<uint8_t>(std::clamp(choice, 0, 4)); }

} // namespace

std::string ipText(int32_t ip) {
    const auto v = static_cast<uint32_t>(ip);
    char text[20];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF), static_cast<int>(v >> 24));
    return text;
}

int32_t ipFromText(std::string_view text) {
    uint32_t bytes[4] = {};
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.') return 0;
            ++at;
        }
        const size_t start = at;
        uint32_t value = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - start < 3)
            value = value * 10 + static_cast<uint32_t>(text[at++] - '0');
        if (at == start || value > 255) return 0;
        bytes[part] = value;
    }
    if (at != text.size()) return 0;
    return static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24);
}

std::string postalCodeShown(std::string_view digits) {
    std::string shown(digits.substr(0, std::min<size_t>(2, digits.size())));
    shown += '-';
    if (digits.size() > 2) shown += digits.substr(2, 3);
    return shown;
}

std::string postalCodeDigits(std::string_view shown) {
    std::string digits;
    for (char c : shown)
        if (std::isdigit(static_cast<unsigned char>(c)) && digits.size() < 5) digits += c;
    return digits;
}

CardFields cardFieldsOf(const SubscriberRecord& r) {
    CardFields f;
    f.object = r.object;
    f.name = fieldText(r.name);
    f.town = fieldText(r.town);
    f.code = fieldText(r.code);
    f.address = fieldText(r.address);
    f.tel = fieldText(r.tel);
    f.telGsm = fieldText(r.tel_gsm);
    f.ip = ipText(r.ip);
    f.contact1 = fieldText(r.contact1);
    f.contact2 = fieldText(r.contact2);
    f.passwd = fieldText(r.passwd);
    f.central = fieldText(r.central);
    f.tracks = r.tracks;
    f.radioBase = std::min(4, r.tracks_nbr >> 4);
    f.fixedBase = std::min(4, r.tracks_nbr & 0x0F);
    f.gsmOperator = r.gsm_operator <= 3 ? r.gsm_operator : 0;
    return f;
}

void copyCardIntoRecord(const CardFields& f, SubscriberRecord& r) {
    r.object = static_cast<int16_t>(std::clamp(f.object, 0, 9999));
    putField(r.name, f.name);
    putField(r.town, f.town);
    putField(r.code, postalCodeDigits(f.code));
    putField(r.address, f.address);
    putField(r.tel, f.tel);
    putField(r.tel_gsm, f.telGsm);
    r.ip = ipFromText(f.ip);
    putField(r.contact1, f.contact1);
    putField(r.contact2, f.contact2);
    putField(r.passwd, f.passwd);
    putField(r.central, f.central);
    r.tracks = static_cast<uint8_t>(f.tracks & 0x7F);
    // A base is taken only for a path in use; the other nibble stays.
    if (r.tracks & kTrackRadio)
        r.tracks_nbr = static_cast<uint8_t>((r.tracks_nbr & 0x0F) | nibble(f.radioBase) << 4);
    if (r.tracks & kTrackFixedLine) r.tracks_nbr = static_cast<uint8_t>((r.tracks_nbr & 0xF0) | nibble(f.fixedBase));
    if (r.tracks & kTrackGsm) r.gsm_operator = static_cast<uint8_t>(std::clamp(f.gsmOperator, 0, 3));
}

} // namespace k4

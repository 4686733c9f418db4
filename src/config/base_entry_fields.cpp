#include "config/base_entry_fields.h"

#include "database/text_edge.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

std::string addressText(const uint8_t a[4]) {
    // The mask's fixed groups of three, so that each group stays in place.
    char text[24];
    std::snprintf(text, sizeof text, "%3d.%3d.%3d.%3d", a[0], a[1], a[2], a[3]);
    return text;
}

// Four groups of three characters at 1, 5, 9 and 13 (1-based), blank 0.
bool readAddress(const std::string& text, uint8_t out[4]) {
    for (int g = 0; g < 4; ++g) {
        int value = 0;
        for (int i = 0; i < 3; ++i) {
            const size_t at = static_cast<size_t>(g * 4 + i);
            const char c = at < text.size() ? text[at] : ' ';
            if (std::isdigit(static_cast<unsigned char>(c))) value = value * 10 + (c - '0');
        }
        if (value > 255) return false;
        out[g] = static_cast<uint8_t>(value);
    }
    return true;
}

uint8_t ackValue(int item) { return item >= 0 && item <= 4 ? static_cast<uint8_t>(item + 1) : 2; }
int ackItem(uint8_t value) { return value >= 1 && value <= 5 ? value - 1 : -1; }

} // namespace

BaseEntryFields baseEntryFields(const BaseEntry& e) {
    BaseEntryFields f;
    f.name = Utf8FromMazovia(std::string(e.name, strnlen(e.name, sizeof e.name)));
    char radio[4];
    std::snprintf(radio, sizeof radio, "%2.2x", e.radio);
    f.radio = radio;
    f.gprsAddress = addressText(e.gprsAddress);
    f.gsmNumber = std::string(e.gsmNumber, strnlen(e.gsmNumber, sizeof e.gsmNumber));
    f.gsmAck = ackItem(e.gsmParam);
    f.ethAddress = addressText(e.ethAddress);
    f.ethAck = ackItem(e.ethParam);
    f.conversion = (e.flags & kBaseEventConversion) != 0;
    return f;
}

std::optional<std::string> storeBaseEntryFields(const BaseEntryFields& f, BaseEntry& e) {
    uint8_t gprs[4], eth[4];
    if (!readAddress(f.gprsAddress, gprs)) return std::string("Nieprawidłowy numer IP GPRS");
    if (!readAddress(f.ethAddress, eth)) return std::string("Nieprawidłowy numer IP ethernet");

    std::string name = MazoviaFromUtf8(f.name);
    if (name.size() > 10) name.resize(10);
    std::memset(e.name, 0, sizeof e.name);
    std::memcpy(e.name, name.data(), name.size());
    // The two digits are one hexadecimal byte: the radio module, then the
    // radio address. A field without a digit leaves the byte as it was.
    std::string digits;
    for (char c : f.radio)
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    if (!digits.empty()) e.radio = static_cast<uint8_t>(std::stoi(digits.substr(0, 2), nullptr, 16));
    std::memcpy(e.gprsAddress, gprs, 4);
    std::string gsm;
    for (char c : f.gsmNumber)
        if (std::isdigit(static_cast<unsigned char>(c))) gsm += c;
    if (gsm.size() > 9) gsm.resize(9);
    std::memset(e.gsmNumber, 0, sizeof e.gsmNumber);
    std::memcpy(e.gsmNumber, gsm.data(), gsm.size());
    e.gsmParam = ackValue(f.gsmAck);
    std::memcpy(e.ethAddress, eth, 4);
    e.ethParam = ackValue(f.ethAck);
    if (f.conversion) e.flags |= kBaseEventConversion;
    else e.flags = static_cast<uint8_t>(e.flags & ~kBaseEventConversion);
    return std::nullopt;
}

} // namespace k4

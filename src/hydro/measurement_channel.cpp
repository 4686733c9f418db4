#include "hydro/measurement_channel.h"

#include <cstdio>
#include <cstdlib>

namespace k4 {

namespace {

const MeasurementType kTypes[kMsrTypes] = {
    {"Lustro", "m", 1},      {"Prąd_pompy", "A", 1}, {"Ciśnienie", "MPa", 2}, {"Temperatura", "°C", 1},
    {"Przepływ", "m3", 1},   {"Zbiornik", "m", 2},   {"Otwarcie", "%", 1},
};
// A type nibble the program does not know reads as a plain value with no
// decimals rather than as one of the known types.
const MeasurementType kUnknownType = {"?", "", 0};

const char* const kConverters[kMsrConverters] = {"4-20 [mA]", "0-20 [mA]", "0-5  [mA]", "0-10 [V]"};

constexpr int64_t kInt16Max = 32767;
// A raw signal comes from a 16-bit field or from a text the dialog already
// limited; anything wider is not a signal of this device.
constexpr int64_t kSignalLimit = int64_t{1} << 31;

int64_t powerOfTen(int n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// Division to the nearest integer, halves away from zero, as a printed
// value with the same number of decimals would show it.
int64_t roundedDivision(int64_t numerator, int64_t denominator) {
    if (denominator < 0) numerator = -numerator, denominator = -denominator;
    const int64_t half = denominator / 2;
    return numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
}

// Pads with blanks to width characters (not bytes: the names carry Polish
// letters).
std::string padded(const std::string& utf8, size_t width) {
    size_t characters = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++characters;
    return characters >= width ? utf8 : utf8 + std::string(width - characters, ' ');
}

} // namespace

const MeasurementType& measurementType(int type) {
    return type >= 0 && type < kMsrTypes ? kTypes[type] : kUnknownType;
}

const char* converterName(int converter) {
    return converter >= 0 && converter < kMsrConverters ? kConverters[converter] : "?";
}

SignalSpan converterSpan(int converter, int resistor) {
    switch (converter) {
    case 0: return {40 * resistor, 200 * resistor};
    case 1: return {0, 200 * resistor};
    case 2: return {0, 50 * resistor};
    case 3: return {0, 10000};
    case 4: return {0, 1};
    default: return {0, 0};
    }
}

std::string inputLabel(int channel) {
    char text[16];
    std::snprintf(text, sizeof text, "L%02d/A%01d", 12 - channel, channel);
    return text;
}

int MsrSetting::decimals() const { return measurementType(type).decimals; }

MsrSetting readMsrSetting(const SubscriberRecord& record, int channel) {
    const uint8_t* b = record.msr + channel * kMsrSettingSize;
    auto int16At = [b](int at) { return static_cast<int>(static_cast<int16_t>(b[at] | (b[at + 1] << 8))); };
    MsrSetting s;
    s.type = b[0] & 0x0F;
    s.converter = b[0] >> 4;
    s.resistor = b[1];
    s.p0 = int16At(2);
    s.p1 = int16At(4);
    s.v0 = int16At(6);
    s.v1 = int16At(8);
    return s;
}

void writeMsrSetting(SubscriberRecord& record, int channel, const MsrSetting& s) {
    uint8_t* b = record.msr + channel * kMsrSettingSize;
    auto put = [b](int at, int value) {
        const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    b[0] = static_cast<uint8_t>((s.type & 0x0F) | ((s.converter & 0x0F) << 4));
    b[1] = static_cast<uint8_t>(s.resistor);
    put(2, s.p0);
    put(4, s.p1);
    put(6, s.v0);
    put(8, s.v1);
}

Converted rawToValue(const MsrSetting& s, int64_t x) {
    Converted c;
    if (s.v1 == s.v0) {
        c.error = "Oba punkty kalibracji mają ten sam sygnał: pomiaru nie można przeliczyć";
        return c;
    }
    if (x <= -kSignalLimit || x >= kSignalLimit) {
        c.error = "Sygnał poza zakresem przetwornika";
        return c;
    }
    c.value = roundedDivision((x - s.v0) * (s.p1 - s.p0), s.v1 - s.v0) + s.p0;
    c.ok = true;
    return c;
}

Converted valueToRaw(const MsrSetting& s, int64_t value) {
    Converted c;
    if (s.p1 == s.p0) {
        c.error = "Oba punkty kalibracji mają tę samą wartość: sygnału nie można wyznaczyć";
        return c;
    }
    if (value <= -kSignalLimit || value >= kSignalLimit) {
        c.error = "Wartość poza zakresem pomiaru";
        return c;
    }
    c.value = roundedDivision((value - s.p0) * (s.v1 - s.v0), s.p1 - s.p0) + s.v0;
    c.ok = true;
    return c;
}

std::string formatScaled(int64_t value, int decimals) {
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (decimals > 0) {
        const auto d = static_cast<size_t>(decimals);
        if (digits.size() <= d) digits.insert(0, d + 1 - digits.size(), '0');
        digits.insert(digits.size() - d, ".");
    }
    if (value < 0) digits.insert(0, "-");
    if (digits.size() < 6) digits.insert(0, 6 - digits.size(), ' ');
    return digits;
}

RangeText rangeText(const MsrSetting& s) {
    RangeText r;
    const SignalSpan span = converterSpan(s.converter, s.resistor);
    const Converted low = rawToValue(s, span.low);
    const Converted high = rawToValue(s, span.high);
    if (!low.ok || !high.ok) {
        r.error = low.ok ? high.error : low.error;
        return r;
    }
    r.ok = true;
    r.low = formatScaled(low.value, s.decimals());
    r.high = formatScaled(high.value, s.decimals());
    return r;
}

Converted parseScaled(std::string_view text, int decimals) {
    Converted c;
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    for (std::string_view part : {whole, fraction})
        for (char ch : part)
            if (ch < '0' || ch > '9') {
                c.error = "Niepoprawna liczba: " + std::string(text);
                return c;
            }
    // m = whole * 10^k + fraction, then divided by ten while above 16 bits:
    // the same as keeping the longest leading run of its digits that fits.
    std::string digits = std::string(whole) + std::string(fraction);
    const size_t firstDigit = digits.find_first_not_of('0');
    const size_t leadingZeros = firstDigit == std::string::npos ? digits.size() : firstDigit;
    digits.erase(0, leadingZeros);
    int64_t m = 0;
    size_t kept = 0;
    for (; kept < digits.size(); ++kept) {
        const int64_t next = m * 10 + (digits[kept] - '0');
        if (next > kInt16Max) break;
        m = next;
    }
    const int dropped = static_cast<int>(digits.size() - kept);
    const int exponent = decimals - (static_cast<int>(fraction.size()) - dropped);
    int64_t result = m;
    if (exponent >= 0) {
        for (int i = 0; i < exponent && result <= kInt16Max; ++i) result *= 10;
    } else {
        result = m / powerOfTen(-exponent); // cut, not rounded
    }
    if (result > kInt16Max) {
        c.error = "Wartość " + std::string(text) + " nie mieści się w polu kalibracji (największa" +
                  formatScaled(kInt16Max, decimals) + ")";
        return c;
    }
    c.ok = true;
    c.value = result;
    return c;
}

std::string channelLine(const MsrSetting& s, int channel) {
    const std::string label = inputLabel(channel);
    if (!s.configured()) return label + " -----";
    const MeasurementType& type = measurementType(s.type);
    const RangeText range = rangeText(s);
    const std::string span = range.ok ? range.low + " " + range.high : padded("bez kalibracji", 13);
    return label + " " + padded(type.name, 11) + " " + span + " " + padded(type.unit, 3) + " " +
           padded(converterName(s.converter), 9);
}

} // namespace k4

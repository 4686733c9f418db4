#include "admin/subscriber_csv.h"

#include "database/text_edge.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>

namespace k4::admin {

namespace {

enum class Kind { Text, Number, Ip };

struct Column {
    const char* name;
    Kind kind;
    size_t offset;
    int width;          // bytes of the field
    long min, max;      // numbers
    long alsoAllowed;   // one value outside min..max (255 "no path"), or -1
};

#define TEXT(field) {#field, Kind::Text, offsetof(SubscriberRecord, field), sizeof(SubscriberRecord::field), 0, 0, -1}
#define NUM(field, lo, hi) {#field, Kind::Number, offsetof(SubscriberRecord, field), sizeof(SubscriberRecord::field), lo, hi, -1}

const Column kColumns[] = {
    {"number", Kind::Number, offsetof(SubscriberRecord, object), 2, 0, 9999, -1},
    TEXT(name),
    TEXT(town),
    TEXT(code),
    TEXT(address),
    TEXT(tel),
    TEXT(tel_gsm),
    {"ip", Kind::Ip, offsetof(SubscriberRecord, ip), 4, 0, 0, -1},
    TEXT(contact1),
    TEXT(contact2),
    TEXT(passwd),
    TEXT(central),
    NUM(tracks, 0, 127),
    NUM(chk_tracks, 0, 127),
    NUM(tracks_nbr, 0, 255),
    TEXT(full),
    TEXT(contr_no),
    TEXT(KVF_date),
    TEXT(date_from),
    TEXT(date_to),
    TEXT(book_no),
    NUM(forw_flag1, 0, 65535),
    NUM(forw_flag2, 0, 65535),
    NUM(test_type1, 0, 6),
    NUM(test_type2, 0, 6),
    NUM(test_repeat1, 0, 255),
    NUM(test_repeat2, 0, 255),
    NUM(test_delay1, 0, 32767),
    NUM(test_flags, 0, 65535),
    {"test_track1", Kind::Number, offsetof(SubscriberRecord, test_track1), 1, 0, 7, 255},
    {"test_track2", Kind::Number, offsetof(SubscriberRecord, test_track2), 1, 0, 7, 255},
    NUM(gsm_operator, 0, 3),
};

#undef TEXT
#undef NUM

const Column* find(const std::string& name) {
    for (const Column& c : kColumns)
        if (name == c.name) return &c;
    return nullptr;
}

uint8_t* at(SubscriberRecord& r, const Column& c) { return reinterpret_cast<uint8_t*>(&r) + c.offset; }
const uint8_t* at(const SubscriberRecord& r, const Column& c) {
    return reinterpret_cast<const uint8_t*>(&r) + c.offset;
}

// Little-endian unsigned value of a field of 1, 2 or 4 bytes.
uint32_t rawValue(const uint8_t* p, int width) {
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
void putRaw(uint8_t* p, int width, uint32_t v) {
    for (int i = 0; i < width; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool parseDecimal(const std::string& text, long& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return false;
        value = value * 10 + (ch - '0');
    }
    return true;
}

} // namespace

bool parseCsv(std::string_view text, std::vector<CsvRow>& rows, std::string& error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int line = 1;
    size_t i = 0;
    while (i < text.size()) {
        CsvRow row{line, {}};
        std::string field;
        bool rowDone = false;
        while (!rowDone) {
            if (i < text.size() && text[i] == '"') {
                const int openedAt = line;
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        error = "wiersz " + std::to_string(openedAt) + ": cudzysłów bez zamknięcia";
                        return false;
                    }
                    const char ch = text[i++];
                    if (ch == '"') {
                        if (i < text.size() && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (ch == '\n') ++line;
                    field += ch;
                }
            }
            // Unquoted text, or what follows a closing quote up to the next
            // separator.
            while (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r') field += text[i++];
            row.fields.push_back(std::move(field));
            field.clear();
            if (i >= text.size()) {
                rowDone = true;
            } else if (text[i] == ',') {
                ++i;
            } else {
                if (text[i] == '\r') ++i;
                if (i < text.size() && text[i] == '\n') ++i;
                ++line;
                rowDone = true;
            }
        }
        // Blank lines carry no subscriber.
        if (!(row.fields.size() == 1 && row.fields[0].empty())) rows.push_back(std::move(row));
    }
    return true;
}

std::string csvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string quoted = "\"";
    for (char ch : value) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    return quoted + '"';
}

const std::vector<std::string>& subscriberColumns() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const Column& c : kColumns) v.emplace_back(c.name);
        return v;
    }();
    return names;
}

bool isSubscriberColumn(const std::string& name) { return find(name) != nullptr; }

std::string columnValue(const SubscriberRecord& record, const std::string& column) {
    const Column* c = find(column);
    if (!c) return {};
    const uint8_t* p = at(record, *c);
    switch (c->kind) {
    case Kind::Text:
        return Utf8FromMazovia(std::string(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p),
                                                                                        static_cast<size_t>(c->width))));
    case Kind::Number: {
        uint32_t v = rawValue(p, c->width);
        // The number and the test delay are signed 16-bit fields.
        if (c->width == 2 && c->max <= 32767) return std::to_string(static_cast<int16_t>(v));
        return std::to_string(v);
    }
    case Kind::Ip: {
        // Kept as the panel's address reads, first byte first.
        char text[20];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", p[0], p[1], p[2], p[3]);
        return text;
    }
    }
    return {};
}

bool setColumn(SubscriberRecord& record, const std::string& column, const std::string& value, std::string& error) {
    const Column* c = find(column);
    if (!c) {
        error = "nieznane pole " + column;
        return false;
    }
    uint8_t* p = at(record, *c);
    switch (c->kind) {
    case Kind::Text: {
        const std::string stored = MazoviaFromUtf8(value);
        if (Utf8FromMazovia(stored) != value || stored.find('\0') != std::string::npos) {
            error = "pole " + column + ": znak spoza polskiej strony kodowej";
            return false;
        }
        if (stored.size() > static_cast<size_t>(c->width - 1)) {
            error = "pole " + column + " za długie (najwyżej " + std::to_string(c->width - 1) + " znaków)";
            return false;
        }
        std::memset(p, 0, static_cast<size_t>(c->width));
        std::memcpy(p, stored.data(), stored.size());
        return true;
    }
    case Kind::Number: {
        long v = 0;
        if (!parseDecimal(value, v) || ((v < c->min || v > c->max) && v != c->alsoAllowed)) {
            error = "pole " + column + ": \"" + value + "\" nie jest liczbą od " + std::to_string(c->min) + " do " +
                    std::to_string(c->max);
            if (c->alsoAllowed >= 0) error += " ani " + std::to_string(c->alsoAllowed);
            return false;
        }
        putRaw(p, c->width, static_cast<uint32_t>(v));
        return true;
    }
    case Kind::Ip: {
        if (value.empty()) {
            std::memset(p, 0, 4);
            return true;
        }
        long parts[4];
        size_t start = 0;
        for (int k = 0; k < 4; ++k) {
            const size_t end = k < 3 ? value.find('.', start) : value.size();
            if (end == std::string::npos || !parseDecimal(value.substr(start, end - start), parts[k]) ||
                parts[k] > 255) {
                error = "pole ip: \"" + value + "\" nie jest adresem postaci A.B.C.D";
                return false;
            }
            start = end + 1;
        }
        for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(parts[k]);
        return true;
    }
    }
    return false;
}

} // namespace k4::admin

#include "database/orders_editing.h"

#include "database/text_edge.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

const char* const kHashes = "####################";

std::string nameOf(const OrderNameRecord& record) {
    return std::string(record.name, strnlen(record.name, sizeof record.name));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<int> readHexCode(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
        at + 2 < text.size() && hexDigit(text[at + 2]) >= 0)
        at += 2;
    long value = 0;
    bool read = false;
    for (; at < text.size() && hexDigit(text[at]) >= 0; ++at) {
        read = true;
        // Past eight digits the value means nothing as a code; it stays out
        // of range instead of wrapping round to one.
        if (value <= 0xFFFFFFF) value = value * 16 + hexDigit(text[at]);
        else value = -1;
    }
    if (!read) return std::nullopt;
    if (negative && value != 0) return -1;
    return value < 0 || value > 0xFFFFFFF ? -1 : static_cast<int>(value);
}

std::string orderNameLine(const OrderNamesTable& names, int code) {
    char line[80];
    std::snprintf(line, sizeof line, "%02X %s", code & 0xFF, nameOf(names.OrderRecord(code)).c_str());
    return line;
}

std::string subscriberOrderLine(const OrdersTableList& list, int i) {
    char line[96];
    std::snprintf(line, sizeof line, "%02X (%2.2X) %-60s", list.CodeAt(i), list.SentCode(i),
                  nameOf(list.RecordAt(i)).c_str());
    return line;
}

int storeOrderDefinition(OrderNamesTable& names, int oldCode, std::string_view codeText,
                         std::string_view descriptionUtf8) {
    const int code = readHexCode(codeText).value_or(0);
    const bool inRange = code >= 1 && code <= 255;
    const int result = names.StoreOrder(oldCode, inRange ? code : 0, MazoviaFromUtf8(descriptionUtf8));
    // A code out of range was told and nothing stored; the operator
    // corrects it in the open dialog.
    return inRange ? result : 1;
}

int changeSentCode(OrdersTableList& list, int i, std::string_view text) {
    return list.SetSentCode(i, readHexCode(text).value_or(0));
}

std::string sentCodeText(const OrdersTableList& list, int i) {
    char text[8];
    std::snprintf(text, sizeof text, "%2.2X", list.SentCode(i) & 0xFF);
    return text;
}

std::string orderNamesPrintout(const OrderNamesTable& names) {
    char line[128];
    std::snprintf(line, sizeof line, mz("\r\n%s%13cLISTA ROZKAZÓW%13c%s\r\n").c_str(), kHashes, ' ', ' ', kHashes);
    std::string text = line;
    const PListInt& codes = names.DefinedCodes();
    for (int i = 0; i < codes.Count(); ++i) {
        const int code = codes.Get(i);
        std::snprintf(line, sizeof line, "%2.2x %-60.60s\r\n", code, nameOf(names.OrderRecord(code)).c_str());
        text += line;
    }
    std::snprintf(line, sizeof line, "%s%s%s%s\r\n", kHashes, kHashes, kHashes, kHashes);
    return text + line;
}

} // namespace k4

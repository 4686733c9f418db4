#include "database/order_names_table.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace k4 {

OrderNamesTable::OrderNamesTable(const DataDir& dir, Messages& messages)
    : messages_(messages),
      list_(dir, messages, records_.data(), sizeof(OrderNameRecord), 256,
            [](const uint8_t* record) { return record[0] != 0; }) {}

int OrderNamesTable::Load() { return list_.Load(kOrderNamesFile); }

int OrderNamesTable::WriteOne(int code) {
    if (code < 0 || code > 255) return -1;
    return list_.table().WriteOne(kOrderNamesFile, code, &records_[static_cast<size_t>(code)]);
}

int OrderNamesTable::StoreOrder(int oldCode, int code, std::string_view description) {
    if (code < 1 || code > 255) {
        messages_.ShowNotice(mz("\x03Numer rozkazu spoza zakresu"), kNoticeInfo);
        return -1;
    }
    if (code != oldCode && IsDefined(code) &&
        messages_.AskYesNo(mz("\x03Rozkaz o podanym kodzie juz istnieje.Zastąpić go aktualnie wpisanym?")) !=
            kResultYes)
        return 1;

    OrderNameRecord entry{};
    entry.code = static_cast<uint8_t>(code);
    const std::string_view text = description.substr(0, std::min(description.find('\0'), description.size()));
    std::memcpy(entry.name, text.data(), std::min(text.size(), sizeof entry.name));
    records_[static_cast<size_t>(code)] = entry;
    int result = 0;
    if (WriteOne(code) != 0) {
        messages_.ShowNotice(mz("\x03zapisu rozkazu"), kNoticeError);
        result = -1;
    } else if (oldCode != code && IsDefined(oldCode)) {
        // An order that moved to a new code leaves its old entry in the file
        // too, or the old code would be back at the next start. The new
        // entry is written first: a crash between leaves both, never none.
        records_[static_cast<size_t>(oldCode)] = OrderNameRecord{};
        if (WriteOne(oldCode) != 0) {
            messages_.ShowNotice(mz("\x03zapisu rozkazu"), kNoticeError);
            result = -1;
        }
    }
    list_.Rebuild();
    return result;
}

int OrderNamesTable::DeleteOrder(int code) {
    if (!IsDefined(code)) return -1;
    char question[64];
    std::snprintf(question, sizeof question, mz("\x03Usunąć rozkaz %02X ?").c_str(), static_cast<unsigned>(code));
    if (messages_.AskYesNo(question) != kResultYes) return 1;
    records_[static_cast<size_t>(code)] = OrderNameRecord{};
    int result = 0;
    if (WriteOne(code) != 0) {
        messages_.ShowNotice(mz("\x03zapisu rozkazu"), kNoticeError);
        result = -1;
    }
    list_.Rebuild();
    return result;
}

} // namespace k4

#pragma once
// "rozkazy": the names of the orders the centre can send to panels, 256
// entries of 61 bytes, kept in memory for the whole run. Entry c holds code
// c in its first byte when order c is defined.
#include "database/related_records.h"
#include "database/table.h"

#include <array>
#include <string_view>

namespace k4 {

constexpr const char* kOrderNamesFile = "rozkazy";
constexpr int kOrderNameSize = 60;

class OrderNamesTable {
public:
    OrderNamesTable(const DataDir& dir, Messages& messages);

    // Creates a missing file with no order defined.
    int Load();
    OrderNameRecord& OrderRecord(int code) { return records_[static_cast<size_t>(code & 0xFF)]; }
    const OrderNameRecord& OrderRecord(int code) const { return records_[static_cast<size_t>(code & 0xFF)]; }
    bool IsDefined(int code) const { return code > 0 && code < 256 && records_[static_cast<size_t>(code)].code != 0; }
    // Writes entry code of the file from memory.
    int WriteOne(int code);
    // The defined codes in ascending order.
    const PListInt& DefinedCodes() const { return list_.used(); }

    // "&Zapisz" of the order dialog: entry oldCode (0 for a new one) becomes
    // order code with the description (Mazovia, at most 60 characters).
    // 0 stored; 1 not stored, the dialog stays open (the operator would not
    // replace another order); -1 refused or failed, with its message.
    int StoreOrder(int oldCode, int code, std::string_view description);
    // "&Usuń": asks, then clears the entry. 0 deleted, 1 kept, -1 failed.
    int DeleteOrder(int code);

private:
    Messages& messages_;
    std::array<OrderNameRecord, 256> records_{};
    TableList list_;
};

} // namespace k4

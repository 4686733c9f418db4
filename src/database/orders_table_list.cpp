#include "database/orders_table_list.h"

#include "database/order_names_table.h"
#include "database/subscriber_record.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <cstring>

namespace k4 {

namespace {

uint32_t markerOf(const uint8_t* field) {
    Uint32Le marker;
    std::memcpy(&marker, field, sizeof marker);
    return marker;
}

} // namespace

OrdersTableList::OrdersTableList(DatabaseFiles& files, const OrderNamesTable& names, uint8_t* ordersField)
    : Base(&files.file(DbFile::Orders), kOrderCodes), files_(files), names_(names), field_(ordersField),
      orders_(files, DbFile::Orders, mz("\x03otwarcia pliku")), codes_(files.messages(), 256) {
    if (!field_) {
        for (int c = 1; c < kOrderCodes; ++c)
            if (names_.IsDefined(c)) set()[c] = static_cast<uint8_t>(c);
    } else if (markerOf(field_) == kOrdersMarker) {
        const int32_t at = fieldOffset();
        if (at != 0 && (!orders_.ok() || Read(at) != 0)) usable_ = false;
    } else {
        // The legacy list: codes up to a 0 byte. While this object lives the
        // field is in the current form with no set yet; the old bytes come
        // back at the end unless the set is saved.
        legacy_.emplace();
        std::memcpy(legacy_->data(), field_, kOrdersFieldSize);
        for (int i = 0; i < kOrdersFieldSize && field_[i] != 0; ++i) set()[field_[i]] = field_[i];
        std::memset(field_, 0, kOrdersFieldSize);
        const Uint32Le marker = kOrdersMarker;
        std::memcpy(field_, &marker, sizeof marker);
    }
    Rebuild();
}

OrdersTableList::~OrdersTableList() {
    if (legacy_ && field_) std::memcpy(field_, legacy_->data(), kOrdersFieldSize);
}

int32_t OrdersTableList::fieldOffset() const {
    Int32Le at;
    std::memcpy(&at, field_ + 4, sizeof at);
    return at;
}

void OrdersTableList::setFieldOffset(int32_t offset) {
    const Int32Le at = offset;
    std::memcpy(field_ + 4, &at, sizeof at);
}

const OrderNameRecord& OrdersTableList::RecordAt(int i) const { return names_.OrderRecord(CodeAt(i)); }

void OrdersTableList::Permit(int code) {
    if (code > 0 && code < kOrderCodes) set()[code] = static_cast<uint8_t>(code);
}

void OrdersTableList::PermitAll() {
    for (int c = 1; c < kOrderCodes; ++c)
        if (names_.IsDefined(c)) set()[c] = static_cast<uint8_t>(c);
}

void OrdersTableList::Forbid(int code) {
    if (code >= 0 && code < kOrderCodes) set()[code] = 0;
}

void OrdersTableList::ForbidAll() { clearBuffer(); }

int OrdersTableList::Rebuild() {
    codes_.Clear();
    for (int c = 1; c < kOrderCodes; ++c)
        if (names_.IsDefined(c) && set()[c] != 0 && codes_.Add(static_cast<int16_t>(c)) != 0) return -1;
    return 0;
}

int OrdersTableList::SetSentCode(int i, int value) {
    if (i < 0 || i >= Count()) return -1;
    if (value < 1 || value > 255) {
        files_.messages().ShowNotice(mz("\x03Numer rozkazu spoza zakresu"), kNoticeInfo);
        return -1;
    }
    set()[CodeAt(i)] = static_cast<uint8_t>(value);
    return 0;
}

int OrdersTableList::Save() {
    if (!field_ || !usable_ || !orders_.ok()) return -1;
    const int32_t at = fieldOffset();
    int result;
    if (at != 0) {
        setCurrentPosition(at);
        result = file_->WriteRecord(at, buffer());
        if (result == 0) setPositions(at);
    } else {
        int32_t added = 0;
        result = Append(added);
        if (result == 0) setFieldOffset(added);
    }
    if (result == 0) legacy_.reset();
    return result;
}

int OrdersTableList::ShownCode(int sentCode) const {
    for (int i = 0; i < Count(); ++i)
        if (SentCode(i) == sentCode) return CodeAt(i);
    return sentCode;
}

} // namespace k4

#pragma once
// The orders a subscriber's panel may be sent: a 256-byte set in "orders"
// (byte c is the code under which order c goes out, 0 not permitted), named
// from the subscriber's orders field. Older records keep a plain list of
// permitted codes in that field instead; such a list is shown as a set and
// is turned into the current form only when the set is saved.
#include "database/base.h"
#include "database/database_files.h"
#include "database/plist.h"
#include "database/related_records.h"

#include <array>
#include <optional>

namespace k4 {

class OrderNamesTable;
class Printing;

constexpr int kOrdersFieldSize = 100;

class OrdersTableList : public Base {
public:
    // ordersField: the subscriber's 100-byte orders field, or null for the
    // list of every defined order.
    OrdersTableList(DatabaseFiles& files, const OrderNamesTable& names, uint8_t* ordersField);
    // Puts a legacy list back into the field unless the set was saved.
    ~OrdersTableList() override;

    bool usable() const { return usable_; }
    // The permitted orders: defined in "rozkazy" and non-zero in the set.
    int Count() const { return codes_.Count(); }
    int CodeAt(int i) const { return codes_.Get(i); }
    const OrderNameRecord& RecordAt(int i) const;
    int SentCode(int i) const { return set()[static_cast<size_t>(CodeAt(i) & 0xFF)]; }

    // Whether order code is permitted (whatever code it goes out under).
    bool Permitted(int code) const { return code > 0 && code < kOrderCodes && set()[code] != 0; }
    void Permit(int code);
    void PermitAll();
    void Forbid(int code);
    void ForbidAll();
    int Rebuild();
    // The "Rozkaz" dialog: order i goes out under value (1..255).
    int SetSentCode(int i, int value);
    // "&Koniec" in editing mode: the set is rewritten in place, or appended
    // and its offset put into the field. The subscriber's next save writes
    // the field.
    int Save();
    // The order a confirmation carrying sent code d is shown under.
    int ShownCode(int sentCode) const;

    // The subscriber's permitted orders on the open listing.
    int Print(Printing& printing) const;

    bool legacy() const { return legacy_.has_value(); }

private:
    uint8_t* set() { return buffer(); }
    const uint8_t* set() const { return buffer(); }
    int32_t fieldOffset() const;
    void setFieldOffset(int32_t offset);

    DatabaseFiles& files_;
    const OrderNamesTable& names_;
    uint8_t* field_;
    OnDemandFile orders_;
    PListInt codes_;
    std::optional<std::array<uint8_t, kOrdersFieldSize>> legacy_;
    bool usable_ = true;
};

} // namespace k4

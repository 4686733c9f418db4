#include "database/armers_lst.h"

namespace k4 {

ArmersLst::ArmersLst(ArmersTab (&armers)[kArmerSlots], bool readOnly)
    : ListT<ArmersTab>(armers, kArmerSlots), readOnly_(readOnly) {
    Recount();
}

int ArmersLst::Recount() {
    count_ = 0;
    while (count_ < capacity_ && items_[count_].code != 0) ++count_;
    return 0;
}

int ArmersLst::Toggle(int index, int bit) {
    if (readOnly_ || index < 0 || index >= Count() || bit < 0 || bit >= kArmPositions) return -1;
    Item(index).mask = static_cast<uint16_t>(Item(index).mask ^ (1u << bit));
    return 0;
}

int ArmersLst::AddCode(int code) {
    if (readOnly_ || code == 0) return -1;
    int at = 0;
    while (at < Count() && Item(at).code < code) ++at;
    if (at < Count() && Item(at).code == code) return at;
    ArmersTab entry{};
    entry.code = static_cast<int16_t>(code);
    entry.mask = 0;
    return Insert(entry, at) == 0 ? at : -1;
}

} // namespace k4

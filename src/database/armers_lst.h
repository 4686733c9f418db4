#pragma once
// The codes of the people who arm a subscriber's subsystems: a compact list
// in the subscriber record, ascending by code and ended by code 0, each code
// with the mask of the subsystem positions it arms.
#include "database/list_t.h"
#include "database/subscriber_record.h"

namespace k4 {

class ArmersLst : public ListT<ArmersTab> {
public:
    ArmersLst(ArmersTab (&armers)[kArmerSlots], bool readOnly);

    // The entries before the first code 0.
    int Recount() override;
    // Flips bit (a subsystem position 0..9) of entry index's mask.
    int Toggle(int index, int bit);
    // Puts a new code in its place; a code already there is left as it is.
    // The index of the code, or -1 (read-only, full, code 0).
    int AddCode(int code);
    bool readOnly() const { return readOnly_; }

private:
    bool readOnly_;
};

} // namespace k4

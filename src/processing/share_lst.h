#pragma once
// The shared event lists: up to fifteen named lists that many subscribers
// can use at once, kept in the table file "alarmwsp". Slot 0 is always the
// standard list.
#include "database/list_t.h"
#include "database/subscriber_links.h"
#include "platform/data_dir.h"
#include "platform/little_endian.h"
#include "messages/messages.h"

#include <array>
#include <cstddef>
#include <string>

namespace k4 {

struct ShareAlarm {
    Int32Le listId; // offset of the list's record in "alarmy"; 0 a free slot
    char name[9];   // Mazovia, at most 8 characters
};
static_assert(sizeof(ShareAlarm) == 13);
static_assert(offsetof(ShareAlarm, name) == 4);

class ShareLst final : public ListT<ShareAlarm>, public SharedEventLists {
public:
    static constexpr int kSlots = 16;

    ShareLst(const DataDir& dir, Messages& messages);

    // Reads "alarmwsp" (created empty when missing). A table that cannot be
    // read is unusable; slot 0 reads as the standard list either way. 0 or -1.
    int load();
    // Writes the whole table; "zapisu listy" to the operator on failure.
    int save();
    bool usable() const { return usable_; }

    // -1 for the standard list (0), the slot 1..15 holding the list, or 0.
    int slotOf(int32_t listId) const;
    // The slot as the shared-lists window shows it: "%2.2d %-10.10s", or
    // "%2.2d ?" for a list without a name, "%2.2d " for a free slot.
    std::string slotLine(int slot) const;
    std::string nameOf(int slot) const;

    ShareAlarm& slot(int i) { return slots_[static_cast<size_t>(i)]; }
    const ShareAlarm& slot(int i) const { return slots_[static_cast<size_t>(i)]; }
    // Puts a list into a slot 1..15 with its name (Mazovia).
    void setSlot(int i, int32_t listId, const std::string& name);

    int Recount() override;
    bool IsSharedList(int32_t listId) const override { return slotOf(listId) > 0; }

private:
    void forceStandardSlot();

    DataDir dir_;
    Messages& messages_;
    std::array<ShareAlarm, kSlots> slots_{};
    bool usable_ = false;
};

} // namespace k4

#include "processing/share_lst.h"

#include "database/table.h"
#include "database/text_edge.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace k4 {

ShareLst::ShareLst(const DataDir& dir, Messages& messages)
    : ListT<ShareAlarm>(nullptr, kSlots), dir_(dir), messages_(messages) {
    items_ = slots_.data();
    forceStandardSlot();
    Recount();
}

void ShareLst::forceStandardSlot() {
    slots_[0] = ShareAlarm{};
    std::memcpy(slots_[0].name, "standard", 8);
}

int ShareLst::Recount() {
    count_ = 1;
    for (int i = 1; i < kSlots; ++i)
        if (slots_[static_cast<size_t>(i)].listId != 0) ++count_;
    return 0;
}

int ShareLst::load() {
    slots_.fill(ShareAlarm{});
    Table table(dir_, slots_.data());
    usable_ = table.Load("alarmwsp", static_cast<int>(sizeof(ShareAlarm)), kSlots) == 0;
    if (!usable_) slots_.fill(ShareAlarm{});
    forceStandardSlot();
    Recount();
    return usable_ ? 0 : -1;
}

int ShareLst::save() {
    Table table(dir_, slots_.data());
    // A table that could not be read is not written over: what the file
    // holds may still be the shared lists of the centre.
    if (!usable_ || table.Save("alarmwsp", static_cast<int>(sizeof(ShareAlarm)), kSlots) != 0) {
        messages_.ShowNotice(mz("\x03zapisu listy"), kNoticeError);
        return -1;
    }
    return 0;
}

int ShareLst::slotOf(int32_t listId) const {
    if (listId == 0) return -1;
    for (int i = 1; i < kSlots; ++i)
        if (slots_[static_cast<size_t>(i)].listId == listId) return i;
    return 0;
}

std::string ShareLst::nameOf(int slot) const {
    const ShareAlarm& s = slots_[static_cast<size_t>(slot)];
    return {s.name, ::strnlen(s.name, sizeof s.name)};
}

std::string ShareLst::slotLine(int slot) const {
    char line[32];
    const ShareAlarm& s = slots_[static_cast<size_t>(slot)];
    const std::string name = nameOf(slot);
    if (slot != 0 && s.listId == 0) std::snprintf(line, sizeof line, "%2.2d ", slot);
    else if (name.empty()) std::snprintf(line, sizeof line, "%2.2d ?", slot);
    else std::snprintf(line, sizeof line, "%2.2d %-10.10s", slot, name.c_str());
    return line;
}

void ShareLst::setSlot(int i, int32_t listId, const std::string& name) {
    if (i < 1 || i >= kSlots) return;
    ShareAlarm& s = slots_[static_cast<size_t>(i)];
    s = ShareAlarm{};
    s.listId = listId;
    std::memcpy(s.name, name.data(), std::min(name.size(), sizeof s.name - 1));
    Recount();
}

} // namespace k4

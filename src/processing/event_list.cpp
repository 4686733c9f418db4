#include "processing/event_list.h"

#include "database/text_edge.h"

#include <cstring>

namespace k4 {

LUT_ENTRY LUT_ENTRY::make(int objCode, int stdCode, int colour, bool colourOverride, int sector, bool sectorOverride) {
    LUT_ENTRY e;
    e.word0 = static_cast<uint16_t>(objCode & 0x0FFF);
    e.word1 = static_cast<uint16_t>((stdCode & 0x0FFF) | ((colour & 0x0F) << 12));
    e.word2 = static_cast<uint16_t>((sector & 0x0FFF) | (colourOverride ? 0x1000 : 0) | (sectorOverride ? 0x2000 : 0));
    return e;
}

int LUTBase::Entries::Recount() {
    count_ = 0;
    while (count_ < capacity_ && (items_[count_].word0 & 0x0FFF) != 0) ++count_;
    return 0;
}

LUTBase::LUTBase(RecordFile* alarmy)
    : Base(alarmy, kListRecordSize), entries_(reinterpret_cast<LUT_ENTRY*>(buffer_.data()), kListEntries) {}

void LUTBase::recount() { entries_.Recount(); }

AlarmsTableList::AlarmsTableList(RecordFile& alarmy, const EventTable& events, Messages& messages, Int32Le& listId,
                                 int sharedSlot, const SharedEventLists* sharedLists)
    : LUTBase(&alarmy), events_(events), messages_(messages), holder_(listId), slot_(sharedSlot),
      sharedLists_(sharedLists) {
    if (holder_ == 0) {
        buildStandard(true);
    } else {
        loaded_ = Read(holder_) == 0;
        recount();
    }
}

bool AlarmsTableList::findEntry(int objCode, int& position) const {
    int i = 0;
    while (i < kListEntries && entry(i).objCode() != 0 && entry(i).objCode() < objCode) ++i;
    position = i;
    return i < kListEntries && entry(i).objCode() == objCode && objCode != 0;
}

std::optional<Translation> AlarmsTableList::translate(int objCode) const {
    int at = 0;
    if (!findEntry(objCode, at)) return std::nullopt;
    const LUT_ENTRY& e = entry(at);
    Translation t;
    t.stdCode = e.stdCode();
    if (e.sectorOverride()) t.sector = e.sector();
    if (e.colourOverride()) t.colour = e.colour();
    return t;
}

void AlarmsTableList::buildStandard(bool all) {
    clearBuffer();
    recount();
    if (!all) return;
    for (int code : events_.definedCodes()) {
        if (entries().Add(LUT_ENTRY::make(code, code)) != 0) {
            messages_.ShowNotice(mz("\x03Za duzo alarmów"), kNoticeInfo);
            break;
        }
    }
}

int AlarmsTableList::putEntry(const LUT_ENTRY& entry, int oldObjCode) {
    const EventDef* def = events_.findEvent(entry.stdCode());
    if (!def || def->code == 0 || entry.stdCode() == 0) {
        messages_.ShowNoticeFormat(mz("\x03""Dla kodu %x nie ma zdarzenia standardowego!").c_str(), entry.stdCode());
        return -1;
    }
    // A code of 0 would end the list at that entry and hide the rest.
    if (entry.objCode() == 0) return -1;
    const State before = state();
    int at = 0;
    if (oldObjCode != 0 && oldObjCode != entry.objCode() && findEntry(oldObjCode, at)) entries().Remove(at);

    const bool found = findEntry(entry.objCode(), at);
    // A full list takes no new code: inserting would push its last entry out.
    if (at >= kListEntries || (!found && count() >= kListEntries)) {
        messages_.ShowNotice(mz("\x03Lista jest pełna"), kNoticeInfo);
        undo(before);
        return -1;
    }
    if (!found) entries().Insert(entry, at);
    else entries().Put(entry, at);
    return saveOrUndo(before);
}

int AlarmsTableList::removeEntry(int position) {
    const State before = state();
    if (entries().Remove(position) != 0) return -1;
    return saveOrUndo(before);
}

// A list that could not be stored goes back to what the file holds, so
// that the lines shown are never a list that is not there.
int AlarmsTableList::saveOrUndo(const State& before) {
    if (save() == 0) return 0;
    undo(before);
    return -1;
}

void AlarmsTableList::undo(const State& before) {
    restore(before);
    recount();
}

bool AlarmsTableList::isOwnRecord() const {
    return holder_ != 0 && slot_ == 0 && !(sharedLists_ && sharedLists_->IsSharedList(holder_));
}

int AlarmsTableList::save() {
    if (holder_ != 0 && slot_ == 0) {
        setCurrentPosition(holder_);
        return Rewrite();
    }
    int32_t at = 0;
    if (Append(at) != 0) return -1;
    holder_ = at;
    // From now on the copy is the subscriber's own list, saved in place.
    slot_ = 0;
    return 0;
}

int AlarmsTableList::setList(int32_t newId, bool reset) {
    if (reset) holder_ = 0;
    if (newId < 0) return save();
    int result = 0;
    // A shared list's record stays, whoever let go of it.
    if (isOwnRecord()) result = Delete(holder_);
    holder_ = newId;
    slot_ = 0;
    return result;
}

EntryView AlarmsTableList::viewOf(int position) const {
    EntryView view{};
    const LUT_ENTRY& e = entry(position);
    view.entry = e;
    if (const EventDef* def = events_.findEvent(e.stdCode())) {
        std::memcpy(view.shortName, def->shortName, sizeof view.shortName);
        std::memcpy(view.fullName, def->fullName, sizeof view.fullName);
        view.shortName[sizeof view.shortName - 1] = '\0';
        view.fullName[sizeof view.fullName - 1] = '\0';
        if (!e.colourOverride())
            view.entry.word1 = static_cast<uint16_t>((e.word1 & 0x0FFF) | (def->colourClass() << 12));
    }
    return view;
}

} // namespace k4

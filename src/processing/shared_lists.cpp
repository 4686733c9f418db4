#include "processing/shared_lists.h"

#include "database/index_file.h"
#include "database/text_edge.h"

#include <cstring>

namespace k4 {

int refuseNewSlot(const ShareLst& shared, int slot, Messages& messages) {
    if (slot < 1 || slot >= ShareLst::kSlots) {
        messages.ShowNotice(mz("\x03Pozycja spoza zakresu 1..15"), kNoticeInfo);
        return 1;
    }
    if (shared.slot(slot).listId != 0) {
        messages.ShowNotice(mz("\x03Istnieje już lista zdarzeń o tym numerze. Najpierw musi ona zostać usunięta!"),
                            kNoticeInfo);
        return 1;
    }
    return 0;
}

int createSharedList(SharedListParts parts, const NewSharedList& request) {
    Messages& messages = parts.messages;
    if (refuseNewSlot(parts.shared, request.slot, messages) != 0) return 1;
    if (request.base == NewListBase::Subscriber && parts.shared.slotOf(request.sourceList) > 0) {
        messages.ShowNotice(mz("\x03""Abonent używa wspólnej listy zdarzeń"), kNoticeInfo);
        return 1;
    }
    if (request.base == NewListBase::Disk && !request.file) return 1;
    // A table that could not be read is never written over, so a list made
    // now could not be named in it: nothing is made.
    if (!parts.shared.usable()) {
        messages.ShowNotice(mz("\x03zapisu listy"), kNoticeError);
        return -1;
    }

    Int32Le made = 0;
    AlarmsTableList list(parts.alarmy, parts.events, messages, made, 0, &parts.shared);
    int result = 0;
    switch (request.base) {
    case NewListBase::Empty:
        list.buildStandard(false);
        result = list.save();
        break;
    case NewListBase::Shared:
    case NewListBase::Subscriber:
        // A list id > 0 is copied; 0 (the standard list) becomes a copy of it.
        result = list.loadFrom(request.sourceList, true);
        break;
    case NewListBase::Disk:
        // A short file is told by the list itself.
        if (list.loadFrom(-1, true, request.file) != 0) return -1;
        break;
    }
    if (result != 0 || made == 0) {
        messages.ShowNotice(mz("\x03kopiowania listy zdarzeń"), kNoticeError);
        return -1;
    }

    parts.shared.setSlot(request.slot, made, request.name);
    if (parts.shared.save() != 0) {
        // The slot stays free and the record goes back to the free chain: a
        // list no slot names would never be reached again.
        parts.shared.setSlot(request.slot, 0, {});
        list.Delete(made);
        return -1;
    }
    return 0;
}

int removeSharedList(SharedListParts parts, int slot, RecordFile& dane, IndexHandle& numberIndex) {
    if (slot < 1 || slot >= ShareLst::kSlots) return 1;
    const ShareAlarm before = parts.shared.slot(slot);
    if (before.listId == 0) return 1;
    Int32Le holder = before.listId;
    AlarmsTableList list(parts.alarmy, parts.events, parts.messages, holder, 0, &parts.shared);
    return list.deleteSharedList(dane, numberIndex, [&] {
        parts.shared.setSlot(slot, 0, {});
        if (parts.shared.save() == 0) return 0;
        parts.shared.slot(slot) = before;
        parts.shared.Recount();
        return -1;
    });
}

int renameSharedList(ShareLst& shared, int slot, const std::string& name) {
    if (slot < 1 || slot >= ShareLst::kSlots || shared.slot(slot).listId == 0) return 1;
    const ShareAlarm before = shared.slot(slot);
    shared.setSlot(slot, before.listId, name);
    if (shared.save() == 0) return 0;
    shared.slot(slot) = before;
    return -1;
}

std::unique_ptr<AlarmsTableList> openSlotList(SharedListParts parts, int slot, Int32Le& holder) {
    holder = slot >= 1 && slot < ShareLst::kSlots ? parts.shared.slot(slot).listId : Int32Le(0);
    // Opened outside a subscriber: a change rewrites the shared record itself.
    auto list = std::make_unique<AlarmsTableList>(parts.alarmy, parts.events, parts.messages, holder, 0, &parts.shared);
    if (!list->loaded()) {
        parts.messages.ShowNotice(mz("\x03odczytu tablicy LUT"), kNoticeError);
        list->forgetRecord();
        list->recount();
    }
    return list;
}

std::string listDumpName(const std::string& nameMazovia) {
    std::string name = nameMazovia.substr(0, std::min<size_t>(nameMazovia.size(), 8));
    if (const size_t nul = name.find('\0'); nul != std::string::npos) name.resize(nul);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (char& c : name)
        if (c == '/') c = '_';
    if (name.empty()) name = "standard";
    return Utf8FromMazovia(name) + ".al";
}

} // namespace k4

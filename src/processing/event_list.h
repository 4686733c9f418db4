#pragma once
// Event lists: the translation from the codes a subscriber's panel sends to
// the centre's standard codes, with an optional forced sector or colour. A
// list is one 5994-byte record of "alarmy" (999 entries of 6 bytes, sorted,
// used entries first); the standard list is not stored but made from the
// standard table. A subscriber names its list by the record's offset.
#include "database/base.h"
#include "database/list_t.h"
#include "database/record_file.h"
#include "database/subscriber_links.h"
#include "platform/little_endian.h"
#include "processing/event_table.h"
#include "messages/messages.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace k4 {

class IndexHandle;

struct LUT_ENTRY {
    Uint16Le word0; // bits 0-11 objCode; 0 ends the list
    Uint16Le word1; // bits 0-11 stdCode, bits 12-15 colour
    Uint16Le word2; // bits 0-11 sector, bit 12 colour override, bit 13 sector override

    int objCode() const { return word0 & 0x0FFF; }
    int stdCode() const { return word1 & 0x0FFF; }
    int colour() const { return word1 >> 12; }
    int sector() const { return word2 & 0x0FFF; }
    bool colourOverride() const { return (word2 & 0x1000) != 0; }
    bool sectorOverride() const { return (word2 & 0x2000) != 0; }

    static LUT_ENTRY make(int objCode, int stdCode, int colour = 0, bool colourOverride = false,
                          int sector = 4095, bool sectorOverride = false);
};
static_assert(sizeof(LUT_ENTRY) == 6);

// What the list dialogs edit: the names of the standard code beside the entry.
struct EntryView {
    char shortName[9];
    char fullName[31];
    LUT_ENTRY entry; // without a colour override its colour shows the standard class
};
static_assert(sizeof(EntryView) == 46);
static_assert(offsetof(EntryView, entry) == 40);

constexpr int kListEntries = 999;
constexpr int kListRecordSize = kListEntries * static_cast<int>(sizeof(LUT_ENTRY));
static_assert(kListRecordSize == 5994);

// A record of "alarmy" seen as a list of entries.
class LUTBase : public Base {
public:
    explicit LUTBase(RecordFile* alarmy);

    ListT<LUT_ENTRY>& entries() { return entries_; }
    const ListT<LUT_ENTRY>& entries() const { return entries_; }
    const LUT_ENTRY& entry(int i) const { return entries_.Item(i); }
    int count() const { return entries_.Count(); }
    // The count is the run of leading entries with a code.
    void recount();

private:
    class Entries final : public ListT<LUT_ENTRY> {
    public:
        using ListT<LUT_ENTRY>::ListT;
        int Recount() override;
    };
    Entries entries_;
};

// How a received code reads through a subscriber's own list.
struct Translation {
    int stdCode = 0;
    std::optional<int> sector; // the forced sector (4095: no sector)
    std::optional<int> colour; // the forced colour class
};

class AlarmsTableList final : public LUTBase {
public:
    // listId: the holder of the list's identity (a subscriber's alarm_list or
    // a shared slot's listId), 0 for the standard list; sharedSlot: the shared
    // slot the list was opened from, 0 for an own or the standard list.
    AlarmsTableList(RecordFile& alarmy, const EventTable& events, Messages& messages, Int32Le& listId,
                    int sharedSlot, const SharedEventLists* sharedLists = nullptr);

    // Whether the stored list could be read (a standard list always can).
    bool loaded() const { return loaded_; }
    int32_t listId() const { return holder_; }
    int sharedSlot() const { return slot_; }

    // The position of the entry with this code, or where it would go.
    bool findEntry(int objCode, int& position) const;
    std::optional<Translation> translate(int objCode) const;
    void buildStandard(bool all);
    // Stores (or replaces) an entry and saves the list. oldObjCode: the code
    // of the entry being edited, 0 for a new one. 0 or -1.
    int putEntry(const LUT_ENTRY& entry, int oldObjCode);
    int removeEntry(int position);
    // An own list is rewritten in place; any other becomes a new own record.
    int save();
    int setList(int32_t newId, bool reset);
    // source -1: the file the operator chose (chosenFile; none is a failure),
    // > 0 a copy of that list, 0 the standard list (a new own copy only
    // with asNew).
    int loadFrom(int32_t source, bool asNew, const std::optional<std::string>& chosenFile = std::nullopt);
    // Writes the 999 entries into a file named fileName (UTF-8) in a
    // directory the operator gives. 0 written, 1 refused (the standard list,
    // told), cancelled or an existing file kept, -1 failed (told).
    int dumpToDisk(const std::string& fileName, const std::string& startDirectory = {});
    // Every subscriber using this list goes back to the standard list (in the
    // order of the number index), then the list's record is freed. unlink,
    // when given, runs between the two (the shared table lets go of the
    // list); when it fails the record is kept. 0 or -1.
    int deleteSharedList(RecordFile& dane, IndexHandle& numberIndex, const std::function<int()>& unlink = {});

    EntryView viewOf(int position) const;

private:
    bool isOwnRecord() const;
    int saveOrUndo(const State& before);
    void undo(const State& before);

    const EventTable& events_;
    Messages& messages_;
    Int32Le& holder_;
    int slot_;
    const SharedEventLists* sharedLists_;
    bool loaded_ = true;
};

} // namespace k4

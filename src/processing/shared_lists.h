#pragma once
// What the windows of the shared event lists do, without the windows: a new
// shared list put into a free slot, a shared list removed from every
// subscriber and from its slot, a slot renamed, the list of a slot opened
// for the table's window. Every change is written to "alarmy" and
// "alarmwsp" before it returns; one that cannot be written is taken back,
// so the slots the window shows are the slots on the disk.
#include "processing/event_list.h"
#include "processing/share_lst.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace k4 {

class IndexHandle;

// What the shared lists live in.
struct SharedListParts {
    ShareLst& shared;
    RecordFile& alarmy;
    const EventTable& events;
    Messages& messages;
};

// "Na podstawie listy:" of "Lista zdarzeń".
enum class NewListBase { Shared, Empty, Subscriber, Disk };

struct NewSharedList {
    int slot = 1;     // "Pozycja:", 1..15
    std::string name; // "Nazwa:", Mazovia, at most 8 letters kept
    NewListBase base = NewListBase::Empty;
    // Shared: the listId of the shared list chosen (0 the standard list).
    // Subscriber: the alarm_list of the subscriber found.
    int32_t sourceList = 0;
    std::optional<std::string> file; // Disk: the "*.al" file chosen
};

// A position the new list cannot take: outside 1..15, or a slot in use
// ("Istnieje już lista zdarzeń o tym numerze. ..."). 0 free, 1 refused (told).
int refuseNewSlot(const ShareLst& shared, int slot, Messages& messages);

// "&OK" of "Lista zdarzeń": the list made as a new record of "alarmy", its
// id and name put into the slot and the table written. A subscriber that
// itself uses a shared list is refused. 0 made, 1 refused (told), -1
// failed (told; no record is left behind and the slot stays free).
int createSharedList(SharedListParts parts, const NewSharedList& request);

// "&Usuń" of "Wspólne listy zdarzeń" on slot 1..15: after the question every
// subscriber using the list goes back to the standard list, the slot is
// cleared and the table written, and only then is the list's record freed.
// 0 removed, 1 a free slot or slot 0, -1 declined or failed (told).
// A record that cannot be freed after the slot was cleared stays unused.
int removeSharedList(SharedListParts parts, int slot, RecordFile& dane, IndexHandle& numberIndex);

// A used slot 1..15 under a new name (Mazovia). 0, 1 nothing to rename, -1
// the table could not be written (told; the old name stays).
int renameSharedList(ShareLst& shared, int slot, const std::string& name);

// The list of a slot as the table's window shows and edits it: slot 0 the
// standard list, any other the stored list, rewritten in place when edited
// (every subscriber using it sees the change). holder carries the list's
// id for as long as the list lives. A list that cannot be read is told
// ("odczytu tablicy LUT") and comes back empty and not loaded.
std::unique_ptr<AlarmsTableList> openSlotList(SharedListParts parts, int slot, Int32Le& holder);

// The file name "&Zrzut" writes a list to: the list's name, at most eight
// letters, and ".al" ("standard.al" for the standard list). Blanks of the
// padding are left out and a '/' would name a directory, so it becomes '_'.
// UTF-8.
std::string listDumpName(const std::string& nameMazovia);

} // namespace k4

#pragma once
// The notification persons of a subscriber: a compact list of "osoby"
// offsets in the subscriber record that ends at the first 0; -1 is an empty
// place-holder the operator keeps for the order of the list.
#include "database/base.h"
#include "database/database_files.h"
#include "database/list_t.h"
#include "database/related_records.h"
#include "database/subscriber_record.h"

namespace k4 {

class Printing;

constexpr int32_t kPersonPlaceHolder = -1;

class PersonsList : public Base, public ListT<Int32Le> {
public:
    PersonsList(DatabaseFiles& files, Int32Le (&persons)[kPersonSlots]);

    // False when "osoby" could not be opened: the list is empty then.
    bool usable() const { return osoby_.ok(); }
    // The entries before the first 0.
    int Recount() override;

    // Entry -1 inserts a place-holder at index; any other entry appends the
    // person in the buffer to "osoby" and its offset at the end of the list.
    int AddEntry(int32_t entry, int index);
    // Stores the person in the buffer under entry index: a place-holder gets
    // a new record, a real entry has its record rewritten.
    int StoreEntry(int index);
    // Loads the person of entry index into the buffer; a place-holder
    // leaves an empty buffer and fails.
    int ReadEntry(int index);

    // The rules of the persons dialog. "&Nowa" and "&Pusta" are refused with
    // a message when the list is full (-1).
    int RefuseWhenFull();
    // "&Usuń": a place-holder goes at once; a real person after the
    // operator's confirmation, from the list and then from "osoby".
    // 0 removed, 1 kept, -1 failed.
    int RemoveEntry(int index);

    // The persons on the open listing, place-holders left out. 0, or -1
    // when a person could not be read (told) or the print failed.
    int Print(Printing& printing);

    PersonRecord& person() { return as<PersonRecord>(); }

private:
    DatabaseFiles& files_;
    OnDemandFile osoby_;
};

} // namespace k4

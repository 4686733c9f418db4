#pragma once
// The subsystems of a subscriber: slot n of the lines array holds the
// "linie" record of subsystem number n. The list also keeps the used slot
// numbers in ascending order, so list index i means the i-th subsystem.
#include "database/base.h"
#include "database/database_files.h"
#include "database/list_t.h"
#include "database/related_records.h"
#include "database/subscriber_record.h"

#include <vector>

namespace k4 {

class Printing;

class LinesList : public Base, public ListT<Int32Le> {
public:
    // Opens "linie" and "sektory" for as long as the list lives.
    LinesList(DatabaseFiles& files, Int32Le (&lines)[kLineSlots]);

    bool usable() const { return linie_.ok() && sektory_.ok(); }
    // Counts the used slots and lists their numbers.
    int Recount() override;

    // Loads the subsystem of list index i; -1 clears the buffer and fails.
    int ReadIndex(int listIndex);
    // The list index of a subsystem number, or -1.
    int Find(int number) const;
    // The subsystem number of list index i.
    int SlotNumber(int listIndex) const { return used_[static_cast<size_t>(listIndex)]; }
    using ListT<Int32Le>::Count;
    // Used subsystems and the sectors over all of them.
    int Count(int& subsystems, int& sectors);
    // Removes the subsystem record and every sector of it; the caller
    // clears its slot.
    int DeleteSubsystem(int32_t offset);
    // Every used subsystem, ascending, up to the first failure.
    int DeleteAll();

    // Every subsystem with its sectors on the open listing, the inputs
    // served after each subsystem. 0, or -1 after a read failure (told).
    int Print(Printing& printing);

    SubsystemRecord& subsystem() { return as<SubsystemRecord>(); }
    RecordFile& sectorsFile() { return files_.file(DbFile::Sektory); }
    DatabaseFiles& files() { return files_; }

private:
    DatabaseFiles& files_;
    OnDemandFile linie_;
    OnDemandFile sektory_;
    std::vector<int> used_;
};

// The sectors of the subsystem in a LinesList buffer: slot n holds sector
// number n. Reading another subsystem into that buffer changes the array
// this list sees; Recount must run again then.
class SectorsList : public Base, public ListT<Int32Le> {
public:
    SectorsList(Int32Le (&sectors)[kSectorSlots], RecordFile& sectorsFile);
    explicit SectorsList(LinesList& lines) : SectorsList(lines.subsystem().sectors, lines.sectorsFile()) {}

    int Recount() override;
    int ReadIndex(int listIndex);
    int Find(int number) const;
    int SlotNumber(int listIndex) const { return used_[static_cast<size_t>(listIndex)]; }
    // Gives every used sector a copy of its own in target and puts the
    // copies' offsets into the slots. On failure the copies made so far are
    // freed again and the slots keep their old offsets.
    int CopyTo(RecordFile& target);

    SectorRecord& sector() { return as<SectorRecord>(); }

private:
    std::vector<int> used_;
};

} // namespace k4

#pragma once
// The arming schedules of a subscriber: slot n of arm_plans holds the
// "uzbroj" record of subsystem position n (0..9).
#include "database/base.h"
#include "database/database_files.h"
#include "database/list_t.h"
#include "database/related_records.h"
#include "database/subscriber_record.h"

namespace k4 {

class SubsysLst : public Base, public ListT<Int32Le> {
public:
    SubsysLst(DatabaseFiles& files, Int32Le (&armPlans)[kArmPositions]);

    bool usable() const { return uzbroj_.ok(); }
    // The used positions.
    int Recount() override;

    // Loads the schedule of a position; a position that is -1, out of range
    // or empty clears the buffer and fails.
    int ReadPosition(int position);
    // Gives target a copy of source's schedule, asking first when target
    // has one. A declined question changes nothing and counts as success; an
    // empty source fails and changes nothing.
    int CopyPosition(int source, int target);
    // Deletes a position's schedule (with ask, after the operator's Yes).
    int DeleteAt(int position, bool ask);
    // Every used position (the subscriber is being deleted).
    int DeleteAll();

    // The outcomes of the "Podsystem" dialog over the schedule in the
    // buffer, each showing its own error.
    // "&Zapisz": the position's record is rewritten in place when it has one,
    // so saving again neither orphans the old record nor moves the offset.
    int SavePosition(int position, uint8_t identification);
    // "&Usuń", and the position leaves the supervised mask.
    int RemovePosition(int position, Uint16Le& armMask);
    // "&Kopiuj do pozycji:".
    int CopyToPosition(int source, int target);
    // Ticking a position in the list: only a position with a schedule can be
    // supervised. Gives the tick as it stays.
    bool TickPosition(int position, bool ticked, Uint16Le& armMask);

    ArmingSchedule& schedule() { return as<ArmingSchedule>(); }

private:
    int deleteRecord(int32_t offset);

    DatabaseFiles& files_;
    OnDemandFile uzbroj_;
};

} // namespace k4

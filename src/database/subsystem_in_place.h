#pragma once
// Editing an existing subsystem or sector in place in "Podsystemy": when the
// focus leaves its fields the operator is asked to store a change, a number
// that is taken is refused, and a new number moves the record's offset to
// the new slot. The list's buffer is the edited record before and after;
// whatever step fails, it is read again from the file (or restored), so the
// next rewrite lands on the record the operator sees.
//
// Results: 0 stored or nothing changed, 1 declined or refused (the record
// shown again as stored), -1 failed with its message shown.
#include <string_view>

namespace k4 {

class LinesList;
class SectorsList;

// The subsystem in the list's buffer gets this number and description
// (Mazovia).
int StoreEditedSubsystem(LinesList& lines, int number, std::string_view description);
// The sector in the sector list's buffer, of the subsystem in the lines
// buffer.
int StoreEditedSector(LinesList& lines, SectorsList& sectors, int number, std::string_view type,
                      std::string_view description);

} // namespace k4

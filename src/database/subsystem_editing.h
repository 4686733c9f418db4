#pragma once
// The rules of the subsystems dialog ("Podsystemy"): creating, replacing
// and deleting subsystems and their sectors. The lines array in the
// subscriber record changes in memory and reaches "dane" with the
// subscriber's next save; the subsystem and sector records are written at
// once. Each rule builds the new record before it lets go of the old one, so
// a failure or a crash in the middle never leaves a slot naming a freed
// record; and a rule that fails leaves the lists' buffers with the records
// they belonged to before it, so the next rewrite cannot land elsewhere.
//
// Results: 0 done, 1 not done (refused or declined, the operator was told
// or asked), -1 failed with its message shown.
#include <string_view>

namespace k4 {

class LinesList;
class SectorsList;

// "&Nowy": subsystem number with its description (Mazovia). With copyFrom
// (a subsystem number, -1 for none) the new subsystem gets copies of that
// one's sectors ("&Kopiuj sektory z:"). The new subsystem is left selected
// in the list's buffer.
int NewSubsystem(LinesList& lines, int number, std::string_view description, int copyFrom = -1);
// "&Usuń" on the subsystem of list index i.
int DeleteSubsystemEntry(LinesList& lines, int listIndex);
// "N&owy" in the subsystem loaded in the list's buffer.
int NewSector(LinesList& lines, SectorsList& sectors, int number, std::string_view type,
              std::string_view description);
// "U&suń" on the sector of list index i of that subsystem.
int DeleteSectorEntry(LinesList& lines, SectorsList& sectors, int listIndex);

} // namespace k4

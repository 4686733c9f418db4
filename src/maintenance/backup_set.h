#pragma once
// The files that make up a copy of the database, in the order they are
// always copied: the tables, the alarm-service texts, the operators, the
// eight record files and the six indexes. The history "logf", the intake
// journal, the configuration and the directory's lock are not in it: the
// history is saved by month on its own, the journal belongs to the run that
// took its reports, and the lock belongs to whoever owns the directory now.
#include <string>
#include <vector>

namespace k4 {

inline constexpr const char* kServiceTextsFile = "obsluga.txt";
inline constexpr const char* kSafetyCopyDir = "BAZA.000";

// The set as a backup writes it (with "obsluga.txt" after the tables).
const std::vector<std::string>& backupSet();
// The set as a restore reads it: "obsluga.txt" comes last, after the files
// it describes, and is read again on its own.
const std::vector<std::string>& restoreSet();

// The tables made at the station's start and the operators' file, which a
// fresh installation does not have yet: absent from the data directory they
// are absent from the copy, and absent from a copy they are absent after the
// restore (the station makes them anew). Every other file must be there.
bool mayBeAbsent(const std::string& name);

// The name of the marker that says another part of name follows: the
// extension (or nothing) replaced by "r" and the two-digit part number,
// "dane" -> "dane.r00", "obsluga.txt" -> "obsluga.r01".
std::string partMarkerName(const std::string& name, int part);

} // namespace k4

#pragma once
// Whether the number index and the subscriber records tell the same story:
// a "dane" truncated or made anew under a "numer" that still names its
// subscribers would make every report "NIEZNANY ABONENT" without a word.
// Looked at once when the database opens; only read, never repaired here.
#include "database/database_files.h"

#include <cstdint>
#include <string>

namespace k4 {

struct DatabaseAgreement {
    bool numberIndexSound = true;
    int64_t keys = 0;           // keys of "numer"
    int64_t recordsInUse = 0;   // records of "dane" not on its free chain
    int64_t keysOutside = 0;    // keys naming no whole record of "dane"

    bool agree() const { return numberIndexSound && keys == recordsInUse && keysOutside == 0; }
};

DatabaseAgreement compareNumberIndexWithRecords(const DataDir& dir);

// The warning box (the station goes on) when they disagree, naming the
// technician's check.
void warnWhenDatabaseDisagrees(const DataDir& dir, Messages& messages);

} // namespace k4

#pragma once
// The fields of the receiving-base entry dialog as the operator sees them
// (UTF-8, the masks' fixed positions) and the rules by which they are
// stored back into the entry.
#include "config/config_block.h"

#include <optional>
#include <string>

namespace k4 {

struct BaseEntryFields {
    std::string name;        // "Nazwa bazy", at most 10 characters
    std::string radio;       // "Nr bazy / retransmitera ", two digits
    std::string gprsAddress; // "999.999.999.999"
    std::string gsmNumber;   // digits
    int gsmAck = -1;         // item 0..4 of "1".."5", -1 none chosen
    std::string ethAddress;
    int ethAck = -1;
    bool conversion = false; // "Konwersja zdarzeń"
};

BaseEntryFields baseEntryFields(const BaseEntry& entry);
// Stores the fields into the entry (rsLink and the waiting forwards are not
// the dialog's). Nothing is stored and the reason is given when an address
// group is above 255.
std::optional<std::string> storeBaseEntryFields(const BaseEntryFields& fields, BaseEntry& entry);

} // namespace k4

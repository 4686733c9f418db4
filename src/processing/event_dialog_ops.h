#pragma once
// What the event dialogs do to the standard table, the special codes and
// an event list, without the windows: every change is written through at
// once, and a change that cannot be written is taken back, so what the
// operator sees is always what is on the disk.
#include "config/config.h"
#include "processing/event_list.h"
#include "processing/event_table.h"

#include <array>
#include <string>

namespace k4 {

// "&Zapisz" of "Zdarzenie": oldCode is the definition being edited (0 for
// a new one), numberText the hexadecimal number typed. 0 stored, 1 nothing
// stored (the operator was told or declined), -1 failed (shown).
int storeEventDefinition(EventTable& table, const DataDir& dir, Messages& messages, int oldCode,
                         const std::string& numberText, EventDef def);
// "&Usuń" of "Lista nazw zdarzeń", after "Usunąć zdarzenie %3.3X ?".
// 0 removed, 1 kept, -1 failed (shown).
int removeEventDefinition(EventTable& table, const DataDir& dir, Messages& messages, int code);

// The captions of the ten special codes, in their order (UTF-8).
extern const std::array<const char*, 10> kSpecialCodeCaptions;
// A line of "Testy": "%-19.19s:    %03X - %-8.8s", or the caption alone
// for an entry without a code. Mazovia.
std::string specialCodeLine(int i, int code, const EventTable& events);
// "&Zmień" with the code picked (after "Usunąć test %X?" when the entry
// already holds one) and "&Usuń" (code 0, after the same question). The
// configuration is written at once. 0 changed, 1 kept, -1 failed (shown).
int setSpecialCode(Config& config, Messages& messages, int i, int code);

// The choices of "Zdarzenie" for a list entry.
enum class SectorChoice { Standard, None, Own };
enum class ColourChoice { Standard, Own };
struct ListEntryInput {
    std::string objText; // "Kod zdarzenia z obiektu:" (hex)
    std::string stdText; // "Numer zdarzenia (hex):"
    SectorChoice sector = SectorChoice::Standard;
    std::string sectorText; // 3 digits, empty = 4095
    ColourChoice colour = ColourChoice::Standard;
    int colourClass = 0;
};
// OK of "Zdarzenie": the entry through putEntry. oldObjCode: the entry
// edited, 0 for a new one. 0 stored, 1 cancelled (a code out of range,
// told), -1 refused or failed (told by the list).
int storeListEntry(AlarmsTableList& list, Messages& messages, int oldObjCode, const ListEntryInput& input);

} // namespace k4

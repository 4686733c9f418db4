#pragma once
// What the data of an IP panel's frame means to the centre: the events it
// reports, each as the station's code, subsystem and sector, the same
// numbers the receiving bases and the modules give for the same event.
#include "baselink/module_blocks.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

// One event of a frame.
struct Dc09Event {
    int32_t code = 0;
    int32_t subsystem = 255;
    int32_t sector = 4095;
    bool periodicTest = false; // restarts the account's test
};

// "Q EEE GG ZZZ" (qualifier 1, 3 or 6, the event, the group, the zone),
// with or without the leading "#account|". Read through the decoder of the
// modules' Contact Id blocks, so a restore is the code + 0x800, the group
// the subsystem and the zone the sector exactly as on that path.
std::optional<Dc09Event> dc09ContactIdEvent(std::string_view data);

// The two-letter event codes mapped to the station's codes. The defaults
// cover burglary, fire, panic, medical, tamper, trouble, mains, battery,
// opening/closing, tests and their restores; the technician's file adds or
// replaces entries.
class SiaCodeMap {
public:
    struct Entry {
        int32_t code = 0;
        bool periodicTest = false;
    };
    SiaCodeMap(); // the defaults
    // Lines "XX HHH [test]  ; comment": a two-letter code, the station's
    // code in hex, "test" when the event restarts the periodic test. Bad
    // lines are skipped; their numbers are returned for the technician.
    std::vector<int> load(std::string_view text);
    std::optional<Entry> find(std::string_view letters) const;
    const std::map<std::string, Entry>& entries() const { return entries_; }

private:
    std::map<std::string, Entry> entries_;
};

// The events of "#acct|Nri1/BA01/...": each two-letter code with its zone
// digits; "ri" sets the group for the codes after it. Unknown codes are
// left out and counted in unknown.
std::vector<Dc09Event> dc09SiaEvents(std::string_view data, const SiaCodeMap& map, int* unknown = nullptr);

} // namespace k4

#pragma once
// The eight path types shared by all paths of a type: the name that history
// lines print, the test index that selects a subscriber's test settings, the
// probe periods and the bit of the subscriber's path flags.
#include <array>
#include <cstddef>
#include <cstdint>

namespace k4 {

struct ConfigPeriods;

enum PathTypeIndex : int {
    kPathDialUp = 0,   // "TK"
    kPathRadio = 1,    // "TR"
    kPathFixed = 2,    // "TS"
    kPathAdemco = 3,   // "TA"
    kPathContactId = 4,// "TC"
    kPathGsm = 5,      // "TG"
    kPathEthernet = 6, // "TE"
    kPathLocal = 7,    // blank: the centre's own sources
};
constexpr int kPathTypeCount = 8;

struct PathType {
    const char* name;
    int testIndex;
    int probePeriod;  // seconds
    int probeRetry;   // seconds
    uint8_t subscriberBit;
    bool irregular;   // probe delays vary by up to 10 %
};

class PathTypeTable {
public:
    PathTypeTable();

    PathType& operator[](int index) { return types_[static_cast<std::size_t>(index)]; }
    const PathType& operator[](int index) const { return types_[static_cast<std::size_t>(index)]; }

    // Periods of the configuration (dial-up and GSM in minutes) into the
    // types, in seconds; irregular is given to every type.
    void applyConfigPeriods(const ConfigPeriods& periods, bool irregular);
    // The current periods in the configuration's units.
    void storeConfigPeriods(ConfigPeriods& periods) const;

private:
    std::array<PathType, kPathTypeCount> types_;
};

} // namespace k4

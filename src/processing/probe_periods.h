#pragma once
// The periods between probes ("Okresy między badaniami"): the eight values
// of the configuration in its units (dial-up and GSM in minutes, GPRS in
// seconds through the GSM values, radio and fixed line in seconds) with
// their minimums, and the irregularity switch.
#include <array>
#include <cstdint>

namespace k4 {

class Config;
class HistoryLog;
class PathTypeTable;

// tk, tkr, tr, trr, ts, tsr, tg, tgr.
using ProbePeriods = std::array<int, 8>;

ProbePeriods probePeriodsOf(const Config& config);
// The first value below its minimum, -1 when all are allowed.
int periodBelowMinimum(const ProbePeriods& periods);
// "Minimalny okres wynosi 1 min." and the others (UTF-8).
const char* periodMinimumText(int index);
// Writes history 18 (period) or 19 (repeat period) for each changed value
// with the old and the new value, puts the periods into the path types and
// saves the configuration. 0, or -1 when the configuration was not saved.
int storeProbePeriods(Config& config, PathTypeTable& types, HistoryLog& history, const ProbePeriods& periods,
                      bool irregular);

} // namespace k4

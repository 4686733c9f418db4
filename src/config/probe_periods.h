#pragma once
// "Okresy między badaniami": the probe period and repeat period of each path
// kind and the irregularity, as the configuration keeps them.
#include <array>
#include <string>

namespace k4 {

class Config;
class HistoryLog;
class Messages;
class PathTypeTable;

constexpr int kProbePeriodFields = 9; // tk, tkr, tr, trr, ts, tsr, tg, tgr, rand
using ProbePeriodValues = std::array<int, kProbePeriodFields>;

// The label of field i, and the message refusing value, or empty when the
// value is allowed.
const char* probePeriodLabel(int field);
std::string probePeriodRefusal(int field, int value);

// Opening: a block without periods first takes those the paths run with,
// saved. The values to show.
ProbePeriodValues openProbePeriods(Config& config, PathTypeTable& pathTypes, Messages& messages);

// "Zapisz": the values into the block and the paths, a history entry for
// each changed period (kind 18) and repeat period (kind 19), the general
// part saved.
void saveProbePeriods(const ProbePeriodValues& values, Config& config, PathTypeTable& pathTypes, HistoryLog& history,
                      Messages& messages);

} // namespace k4

#include "processing/probe_periods.h"

#include "baselink/path_types.h"
#include "config/config.h"
#include "history/history_log.h"

namespace k4 {

namespace {

enum : int { kHistoryPeriodChanged = 18, kHistoryRepeatChanged = 19 };

constexpr int kMinimum[8] = {1, 1, 5, 2, 5, 2, 1, 1};
constexpr int kPathTypeOf[8] = {kPathDialUp, kPathDialUp, kPathRadio, kPathRadio,
                                kPathFixed,  kPathFixed,  kPathGsm,   kPathGsm};

} // namespace

ProbePeriods probePeriodsOf(const Config& config) {
    const ConfigPeriods& p = config.block().periods;
    return {p.tk, p.tkr, p.tr, p.trr, p.ts, p.tsr, p.tg, p.tgr};
}

int periodBelowMinimum(const ProbePeriods& periods) {
    for (int i = 0; i < 8; ++i)
        if (periods[static_cast<size_t>(i)] < kMinimum[i]) return i;
    return -1;
}

const char* periodMinimumText(int index) {
    switch (kMinimum[index & 7]) {
    case 5: return "Minimalny okres wynosi 5 sek.";
    case 2: return "Minimalny okres wynosi 2 sek.";
    default: return "Minimalny okres wynosi 1 min.";
    }
}

int storeProbePeriods(Config& config, PathTypeTable& types, HistoryLog& history, const ProbePeriods& periods,
                      bool irregular) {
    const ProbePeriods before = probePeriodsOf(config);
    for (int i = 0; i < 8; ++i) {
        const int old = before[static_cast<size_t>(i)], now = periods[static_cast<size_t>(i)];
        if (old == now) continue;
        history.LogEvent(i % 2 == 0 ? kHistoryPeriodChanged : kHistoryRepeatChanged, old, 0, now,
                         kPathTypeOf[i] << 4);
    }
    ConfigPeriods& p = config.block().periods;
    Int16Le* fields[8] = {&p.tk, &p.tkr, &p.tr, &p.trr, &p.ts, &p.tsr, &p.tg, &p.tgr};
    for (int i = 0; i < 8; ++i) *fields[i] = static_cast<int16_t>(periods[static_cast<size_t>(i)]);
    config.block().periods_irregular = static_cast<int16_t>(irregular ? 1 : 0);
    types.applyConfigPeriods(p, irregular);
    return config.SaveConfig(1) == 0 ? 0 : -1;
}

} // namespace k4

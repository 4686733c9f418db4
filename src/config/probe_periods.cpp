#include "config/probe_periods.h"

#include "baselink/path_types.h"
#include "config/config.h"
#include "database/text_edge.h"
#include "history/history_log.h"
#include "messages/messages.h"

namespace k4 {

namespace {

constexpr int kHistoryPeriodChanged = 18;
constexpr int kHistoryRepeatChanged = 19;
// The path kind of a pair as history entries name it: dial-up, radio,
// fixed line, GSM.
constexpr int kPairExtra[4] = {1, 17, 33, 81};

struct FieldRule {
    const char* label;
    int lowest; // 0: no limit
    const char* refusal;
};

constexpr FieldRule kFields[kProbePeriodFields] = {
    {"Tor komutowany (min.):", 1, "Minimalny okres wynosi 1 min."},
    {"powtórny:", 1, "Minimalny okres wynosi 1 min."},
    {"Tor radiowy (sek.):", 5, "Minimalny okres wynosi 5 sek."},
    {"powtórny:", 2, "Minimalny okres wynosi 2 sek."},
    {"Tor sztywny (sek.):", 5, "Minimalny okres wynosi 5 sek."},
    {"powtórny:", 2, "Minimalny okres wynosi 2 sek."},
    {"Tor GSM(min.)/GPRS(s):", 0, nullptr},
    {"powtórny:", 0, nullptr},
    {"Nieregularność (+-10%)", 0, nullptr},
};

ProbePeriodValues valuesOf(const ConfigBlock& b) {
    const ConfigPeriods& p = b.periods;
    return {p.tk, p.tkr, p.tr, p.trr, p.ts, p.tsr, p.tg, p.tgr, b.periods_irregular};
}

} // namespace

const char* probePeriodLabel(int field) { return kFields[field].label; }

std::string probePeriodRefusal(int field, int value) {
    const FieldRule& rule = kFields[field];
    return rule.lowest > 0 && value < rule.lowest ? std::string(rule.refusal) : std::string();
}

ProbePeriodValues openProbePeriods(Config& config, PathTypeTable& pathTypes, Messages& messages) {
    ConfigBlock& b = config.block();
    if (b.periods.tk == 0) {
        pathTypes.storeConfigPeriods(b.periods);
        if (config.SaveConfig(0) != 0) messages.ShowNotice(mz("\x03" "zapisu konfiguracji"), kNoticeError);
    }
    return valuesOf(b);
}

void saveProbePeriods(const ProbePeriodValues& v, Config& config, PathTypeTable& pathTypes, HistoryLog& history,
                      Messages& messages) {
    ConfigBlock& b = config.block();
    const ProbePeriodValues old = valuesOf(b);
    ConfigPeriods& p = b.periods;
    Int16Le* fields[8] = {&p.tk, &p.tkr, &p.tr, &p.trr, &p.ts, &p.tsr, &p.tg, &p.tgr};
    for (int i = 0; i < 8; ++i) *fields[i] = static_cast<int16_t>(v[size_t(i)]);
    b.periods_irregular = static_cast<int16_t>(v[8]);
    pathTypes.applyConfigPeriods(b.periods, b.periods_irregular != 0);
    for (int pair = 0; pair < 4; ++pair) {
        const size_t period = size_t(2 * pair), repeat = period + 1;
        if (old[period] != v[period])
            history.LogEvent(kHistoryPeriodChanged, old[period], 0, v[period], kPairExtra[pair]);
        if (old[repeat] != v[repeat])
            history.LogEvent(kHistoryRepeatChanged, old[repeat], 0, v[repeat], kPairExtra[pair]);
    }
    if (config.SaveConfig(0) != 0) messages.ShowNotice(mz("\x03" "zapisu konfiguracji"), kNoticeError);
}

} // namespace k4

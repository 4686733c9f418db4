#include "baselink/path_types.h"

#include "config/config_block.h"

namespace k4 {

PathTypeTable::PathTypeTable()
    : types_{{
          {"TK", 0, 180, 120, 0x01, false},
          {"TR", 1, 10, 5, 0x02, false},
          {"TS", 2, 10, 5, 0x04, false},
          {"TA", 4, 0, 0, 0x10, false},
          {"TC", 5, 0, 0, 0x20, false},
          {"TG", 3, 180, 120, 0x08, false},
          {"TE", 6, 180, 120, 0x40, false},
          {"  ", 7, 0, 0, 0x00, false},
      }} {}

void PathTypeTable::applyConfigPeriods(const ConfigPeriods& periods, bool irregular) {
    types_[kPathDialUp].probePeriod = periods.tk * 60;
    types_[kPathDialUp].probeRetry = periods.tkr * 60;
    types_[kPathRadio].probePeriod = periods.tr;
    types_[kPathRadio].probeRetry = periods.trr;
    types_[kPathFixed].probePeriod = periods.ts;
    types_[kPathFixed].probeRetry = periods.tsr;
    types_[kPathGsm].probePeriod = periods.tg * 60;
    types_[kPathGsm].probeRetry = periods.tgr * 60;
    for (auto& type : types_) type.irregular = irregular;
}

void PathTypeTable::storeConfigPeriods(ConfigPeriods& periods) const {
    periods.tk = static_cast<int16_t>(types_[kPathDialUp].probePeriod / 60);
    periods.tkr = static_cast<int16_t>(types_[kPathDialUp].probeRetry / 60);
    periods.tr = static_cast<int16_t>(types_[kPathRadio].probePeriod);
    periods.trr = static_cast<int16_t>(types_[kPathRadio].probeRetry);
    periods.ts = static_cast<int16_t>(types_[kPathFixed].probePeriod);
    periods.tsr = static_cast<int16_t>(types_[kPathFixed].probeRetry);
    periods.tg = static_cast<int16_t>(types_[kPathGsm].probePeriod / 60);
    periods.tgr = static_cast<int16_t>(types_[kPathGsm].probeRetry / 60);
}

} // namespace k4

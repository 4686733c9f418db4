#include "hydro/hydro_unit_record.h"

namespace k4 {

const char* hydroUnitKindName(int kind) {
    static const char* const kNames[kHydroUnitKinds] = {
        "Zbiornik",     "Studnia", "Pomiar temperatury", "Pomiar ciśnienia", "Pomiar przepływu",
        "Pompa",        "Hydrofor", "Zasuwa",            "Licznik przepływu",
    };
    return kind >= 0 && kind < kHydroUnitKinds ? kNames[kind] : "?";
}

bool isSwitchableUnit(int kind) { return kind == kUnitPump || kind == kUnitHydrophore || kind == kUnitGateValve; }

} // namespace k4

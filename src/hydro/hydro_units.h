#pragma once
// The hydro table: the units of the first thirty subscribers in number
// order, read from "hunits" when the data layer starts and written back
// when it stops. Slot k belongs to the k-th subscriber of the number index.
#include "database/record_file.h"
#include "hydro/hydro_unit_record.h"
#include "hydro/hydro_unit_store.h"

#include <array>
#include <cstdint>

namespace k4 {

class Sbscrbr;
class SubscriberDatabase;
class SubscriberIndexes;

struct HydroSlot {
    int subscriber = -1; // -1: an unused slot
    int count = 0;
    std::array<HydroUnitRecord, kHydroUnitsPerSubscriber> units{};
    // Where each unit came from, and its bytes as read: only what changed
    // is written back.
    std::array<int32_t, kHydroUnitsPerSubscriber> offsets{};
    std::array<HydroUnitRecord, kHydroUnitsPerSubscriber> asRead{};
};

class HydroUnits final : public HydroUnitStore {
public:
    static constexpr int kSlots = 30;

    HydroUnits(const DataDir& dir, Messages& messages, HistorySink& history, SubscriberDatabase& database,
               SubscriberIndexes& indexes);

    void loadHydroUnits() override;
    void saveHydroUnits() override;

    HydroSlot& slot(int k) { return slots_[static_cast<size_t>(k)]; }
    const HydroSlot& slot(int k) const { return slots_[static_cast<size_t>(k)]; }
    // The slot of a subscriber number, or -1.
    int slotOf(int subscriber) const;
    // Units in the whole table: a centre with none has no hydro window.
    int unitCount() const;

private:
    void clear();
    bool openFile();

    DataDir dir_;
    Messages& messages_;
    SubscriberDatabase& database_;
    SubscriberIndexes& indexes_;
    RecordFile file_;
    std::array<HydroSlot, kSlots> slots_{};
};

// Appends the unit to "hunits" (opened by the caller) and lists it in the
// subscriber's record in memory; the caller saves the subscriber. 0, or -1
// when the subscriber already has fifteen units or the append failed.
int attachHydroUnit(RecordFile& hunits, Sbscrbr& subscriber, const HydroUnitRecord& unit);

} // namespace k4

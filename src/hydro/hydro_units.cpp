#include "hydro/hydro_units.h"

#include "database/opened_index.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "platform/file.h"

#include <cstring>

namespace k4 {

HydroUnits::HydroUnits(const DataDir& dir, Messages& messages, HistorySink& history, SubscriberDatabase& database,
                       SubscriberIndexes& indexes)
    : dir_(dir), messages_(messages), database_(database), indexes_(indexes), file_(dir, messages, history) {}

void HydroUnits::clear() {
    for (HydroSlot& s : slots_) s = HydroSlot{};
}

bool HydroUnits::openFile() {
    if (file_.isOpen()) return true;
    if (!fileExists(dir_.file(kHydroUnitsFile))) {
        if (file_.Create(kHydroUnitsFile, kHydroUnitRecordSize) != 0) {
            messages_.ShowNotice(mz("\x03utworzenia pliku"), kNoticeError);
            return false;
        }
        return true;
    }
    if (file_.Open(kHydroUnitsFile, kHydroUnitRecordSize) != 0) {
        messages_.ShowNotice(mz("\x03otwarcia pliku"), kNoticeError);
        return false;
    }
    return true;
}

void HydroUnits::loadHydroUnits() {
    clear();
    if (!openFile()) return;
    OpenedIndex opened(dir_, indexes_, kIndexNumber);
    if (!opened.ok()) {
        messages_.ShowNotice("Sorter!", kNoticeInfo);
        return;
    }
    IndexHandle& numbers = *opened;
    IndexKey key;
    int k = 0;
    for (int r = numbers.First(key); r == kIndexFound && k < kSlots; r = numbers.Next(key)) {
        Sbscrbr s(database_, AtOffset{key.value});
        if (!s.valid) continue;
        HydroSlot& slot = slots_[static_cast<size_t>(k++)];
        for (int i = 0; i < kHydroUnitsPerSubscriber; ++i) {
            const int32_t at = s.record.hunits[i];
            if (at == 0) break;
            HydroUnitRecord unit{};
            // A record that cannot be read is told and left out; the
            // others of the subscriber are still shown.
            if (!file_.isRecordOffset(at) || file_.ReadRecord(at, &unit) != 0) {
                messages_.ShowNotice("Pobranie hunits", kNoticeInfo);
                continue;
            }
            const auto n = static_cast<size_t>(slot.count++);
            slot.units[n] = unit;
            slot.asRead[n] = unit;
            slot.offsets[n] = at;
        }
        slot.subscriber = s.record.object;
    }
}

void HydroUnits::saveHydroUnits() {
    if (!file_.isOpen()) return;
    // Each unit goes back to the record it was read from, whatever has
    // happened to the subscriber list since: the walk of the load is not
    // repeated, so a subscriber added meanwhile cannot shift the slots onto
    // another subscriber's records.
    for (HydroSlot& slot : slots_) {
        for (int i = 0; i < slot.count; ++i) {
            const auto n = static_cast<size_t>(i);
            if (std::memcmp(&slot.units[n], &slot.asRead[n], sizeof(HydroUnitRecord)) == 0) continue;
            if (file_.WriteRecord(slot.offsets[n], &slot.units[n]) != 0) {
                messages_.ShowNotice("Zapisanie hunits", kNoticeInfo);
                continue;
            }
            slot.asRead[n] = slot.units[n];
        }
    }
    file_.Close();
}

int HydroUnits::slotOf(int subscriber) const {
    for (int k = 0; k < kSlots; ++k)
        if (slots_[static_cast<size_t>(k)].subscriber == subscriber) return k;
    return -1;
}

int HydroUnits::unitCount() const {
    int n = 0;
    for (const HydroSlot& s : slots_) n += s.subscriber >= 0 ? s.count : 0;
    return n;
}

int attachHydroUnit(RecordFile& hunits, Sbscrbr& subscriber, const HydroUnitRecord& unit) {
    int free = 0;
    while (free < kHydroUnitsPerSubscriber && subscriber.record.hunits[free] != 0) ++free;
    if (free == kHydroUnitsPerSubscriber) return -1;
    int32_t at = 0;
    if (hunits.AppendRecord(at, &unit) != 0) return -1;
    subscriber.record.hunits[free] = at;
    if (free + 1 < kHydroUnitSlots) subscriber.record.hunits[free + 1] = 0;
    return 0;
}

} // namespace k4

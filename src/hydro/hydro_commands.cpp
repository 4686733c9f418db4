#include "hydro/hydro_commands.h"

#include "database/sbscrbr.h"
#include "processing/order_sending.h"

namespace k4 {

int StationHydroOrders::chooseOrderPath(int selection, uint8_t tracks, int choice) {
    return orders_.chooseOrderPath(selection, tracks, choice);
}

int StationHydroOrders::sendOrder(int subscriber, int pathSlot, int code) {
    return orders_.sendOrder(subscriber, pathSlot, code);
}

bool HydroCommands::press(int slot, int unit, bool turnOn) {
    if (slot < 0 || slot >= HydroUnits::kSlots) return false;
    HydroSlot& s = table_.slot(slot);
    if (unit < 0 || unit >= s.count) return false;
    HydroUnitRecord& record = s.units[static_cast<size_t>(unit)];
    Sbscrbr target(database_, ByNumber{record.subscriber});
    if (!target.valid || target.unindexed) return false;
    // Telemetry devices take their switching orders over radio.
    const int path = orders_.chooseOrderPath(target.record.tracks_nbr, target.record.tracks, kChoiceTr);
    if (path < 0) return false;
    const uint8_t before = record.state;
    // A new press replaces whatever was pending.
    record.state = kUnitCommandPending;
    counter_ = 1;
    slot_ = slot;
    unit_ = unit;
    turnOn_ = turnOn;
    if (orders_.sendOrder(target.record.object, path, turnOn ? kOrderSwitchOn : kOrderSwitchOff) != 0) {
        // Refused (the operator kept an order already on its way, or the
        // path could not be used): nothing is on its way, so nothing is
        // shown as pending.
        record.state = before;
        counter_ = 0;
        return false;
    }
    return true;
}

void HydroCommands::tick() {
    if (counter_ == 0) return;
    if (++counter_ > kPendingTicks) revertIfStillPending();
}

void HydroCommands::settle() {
    if (counter_ != 0) revertIfStillPending();
}

void HydroCommands::revertIfStillPending() {
    counter_ = 0;
    HydroSlot& s = table_.slot(slot_);
    if (unit_ < 0 || unit_ >= s.count) return;
    HydroUnitRecord& record = s.units[static_cast<size_t>(unit_)];
    // Nothing came back: the unit shows what it was before the press.
    if (record.state == kUnitCommandPending) record.state = turnOn_ ? kUnitOff : kUnitOn;
}

} // namespace k4

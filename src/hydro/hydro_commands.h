#pragma once
// Switching a pump, a hydrophore or a gate valve from the hydro window: the
// order goes to the subscriber named in the unit over its radio path, the
// unit shows "command pending" meanwhile, and when no state comes within
// about twenty seconds (ten ticks of the window's two-second refresh) the
// unit goes back to what it showed before. One command is pending at a time.
#include "hydro/hydro_units.h"

#include <cstdint>

namespace k4 {

class OrderSending;
class SubscriberDatabase;

enum : int { kOrderSwitchOn = 0x21, kOrderSwitchOff = 0x22 };

// The part of the orders code a switching command goes through.
class HydroOrderLink {
public:
    virtual ~HydroOrderLink() = default;
    // The slot of the path, or -1 after the operator was told why none.
    virtual int chooseOrderPath(int selection, uint8_t tracks, int choice) = 0;
    virtual int sendOrder(int subscriber, int pathSlot, int code) = 0;
};

// The station's own orders.
class StationHydroOrders final : public HydroOrderLink {
public:
    explicit StationHydroOrders(OrderSending& orders) : orders_(orders) {}
    int chooseOrderPath(int selection, uint8_t tracks, int choice) override;
    int sendOrder(int subscriber, int pathSlot, int code) override;

private:
    OrderSending& orders_;
};

class HydroCommands {
public:
    static constexpr int kPendingTicks = 10;

    HydroCommands(HydroUnits& table, SubscriberDatabase& database, HydroOrderLink& orders)
        : table_(table), database_(database), orders_(orders) {}

    // The press on unit `unit` of slot `slot`: true when the order went to
    // the orders code (the unit is then pending). Nothing happens for a
    // subscriber that is not there or has no radio path to it.
    bool press(int slot, int unit, bool turnOn);
    // One refresh tick of the window.
    void tick();
    // The window closes: the pending unit is settled now.
    void settle();

    bool pending() const { return counter_ > 0; }

private:
    void revertIfStillPending();

    HydroUnits& table_;
    SubscriberDatabase& database_;
    HydroOrderLink& orders_;
    int counter_ = 0; // 0: none pending
    int slot_ = -1, unit_ = -1;
    bool turnOn_ = false;
};

} // namespace k4

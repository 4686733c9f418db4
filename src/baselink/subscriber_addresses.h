#pragma once
// Where the virtual channels reach a subscriber: the vGPRS channel at the
// address of its record. The Ethernet channel's registrations belong to the
// UDP channels, which this station does not run yet, so none is known.
#include "baselink/ethernet_poll.h"

namespace k4 {

class SubscriberDatabase;

class RecordSubscriberAddresses final : public SubscriberAddresses {
public:
    explicit RecordSubscriberAddresses(SubscriberDatabase& database) : database_(database) {}
    std::optional<std::array<uint8_t, 4>> registeredAddress(int) override { return std::nullopt; }
    std::optional<std::array<uint8_t, 4>> recordAddress(int subscriber) override;

private:
    SubscriberDatabase& database_;
};

} // namespace k4

#pragma once
// The receiving bases of other centres answering an Ethernet forward: the
// centre that took the forwarded alarm echoes it as a partner's
// confirmation, from the base's Ethernet address and with the base's
// "Potwierdz. Ethernet" number, which the forward carried to it.
#include "config/config_block.h"
#include "net/udp_links.h"

#include <functional>

namespace k4 {

class ForwardingPartners final : public PartnerConfirmations {
public:
    // confirm(subscriber, base index, path bit 0x80): the forwarding's
    // confirmation of that base.
    using Confirm = std::function<void(int subscriber, int base, int pathBit)>;
    ForwardingPartners(const ConfigBlock& config, Confirm confirm);

    // The first base whose Ethernet address is the sender's is the
    // partner; its number must be the one the confirmation names.
    void partnerConfirmed(const Ipv4& sender, int partnerNumber, int subscriber) override;

private:
    const ConfigBlock& config_;
    Confirm confirm_;
};

} // namespace k4

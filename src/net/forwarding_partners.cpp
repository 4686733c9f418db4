#include "net/forwarding_partners.h"

#include <algorithm>

namespace k4 {

namespace {

constexpr int kEthernetPathBit = 0x80;

} // namespace

ForwardingPartners::ForwardingPartners(const ConfigBlock& config, Confirm confirm)
    : config_(config), confirm_(std::move(confirm)) {}

void ForwardingPartners::partnerConfirmed(const Ipv4& sender, int partnerNumber, int subscriber) {
    for (int b = 0; b < kBaseEntries; ++b) {
        const BaseEntry& e = config_.bases[b];
        // A base without an Ethernet path has the address 0.0.0.0, which
        // no sender has.
        if (e.ethAddress[0] == 0 || !std::equal(sender.begin(), sender.end(), e.ethAddress)) continue;
        if (e.ethParam == partnerNumber) confirm_(subscriber, b, kEthernetPathBit);
        return;
    }
}

} // namespace k4

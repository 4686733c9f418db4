#include "baselink/subscriber_addresses.h"

#include "database/sbscrbr.h"

#include <cstring>

namespace k4 {

std::optional<std::array<uint8_t, 4>> RecordSubscriberAddresses::recordAddress(int subscriber) {
    Sbscrbr s(database_, ByNumber{subscriber});
    if (!s.valid || s.unindexed) return std::nullopt;
    std::array<uint8_t, 4> address{};
    std::memcpy(address.data(), &s.record.ip, 4);
    if (address == std::array<uint8_t, 4>{}) return std::nullopt;
    return address;
}

} // namespace k4

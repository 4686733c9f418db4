#include "baselink/clock_check.h"

#include "database/stamp.h"

namespace k4 {

LocalDateTime localTimeOfDigits(const std::array<uint8_t, 12>& d) {
    auto pair = [&](size_t i) { return d[i] * 10 + d[i + 1]; };
    LocalDateTime time;
    time.year = 2000 + pair(0);
    time.month = pair(2);
    time.day = pair(4);
    time.hour = pair(6);
    time.minute = pair(8);
    time.second = pair(10);
    return time;
}

std::optional<Stamp> stampOfTimeDigits(const std::array<uint8_t, 12>& d) {
    for (uint8_t digit : d)
        if (digit > 9) return std::nullopt;
    const LocalDateTime sent = localTimeOfDigits(d);
    if (sent.month < 1 || sent.month > 12 || sent.day < 1 || sent.day > 31 || sent.hour > 23 || sent.minute > 59 ||
        sent.second > 59)
        return std::nullopt;
    return StampFromLocal(sent);
}

std::optional<PreparedEntry> clockSkewEntry(Stamp sent, Stamp receivedAt) {
    const int64_t difference = (static_cast<int64_t>(receivedAt) - sent) / 60;
    if (difference >= -1 && difference <= 1) return std::nullopt;
    PreparedEntry entry{};
    entry[4] = 0x01; // system entry
    for (int i = 0; i < 4; ++i) entry[static_cast<size_t>(5 + i)] = static_cast<uint8_t>(static_cast<uint32_t>(sent) >> (8 * i));
    const uint32_t magnitude = static_cast<uint32_t>(difference < 0 ? -difference : difference) & 0xFFF;
    uint8_t sign = 0;
    if (difference > 4095) sign = 0x1;
    else if (difference < -4095) sign = 0x2;
    else if (difference < 0) sign = 0x4;
    entry[11] = static_cast<uint8_t>(sign << 4);
    entry[12] = static_cast<uint8_t>(magnitude & 0xFF);
    entry[13] = static_cast<uint8_t>(magnitude >> 8);
    return entry;
}

} // namespace k4

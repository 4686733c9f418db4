#pragma once
// The clock check of reports that carry the time they were sent: a sender
// more than a minute away from the centre's clock is written down (history
// kind 57), with the difference in minutes and its sign.
#include "baselink/base_link.h"
#include "database/stamp.h"
#include "platform/clock.h"

#include <array>
#include <cstdint>
#include <optional>

namespace k4 {

// YYMMDDhhmmss, one digit a byte, read as a local time, unchecked.
LocalDateTime localTimeOfDigits(const std::array<uint8_t, 12>& digits);
// The same as a stamp; nothing when it is no date.
std::optional<Stamp> stampOfTimeDigits(const std::array<uint8_t, 12>& digits);
// The entry of a sender whose clock is off, or nothing when it is right.
std::optional<PreparedEntry> clockSkewEntry(Stamp sent, Stamp receivedAt);

} // namespace k4

#pragma once
// IPv4 addresses as the sockets and the files write them. (The 32-bit
// value of the configuration and back, ipToInt and intToIp, are the
// configuration's, in config/config_form.h.)
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

using Ipv4 = std::array<uint8_t, 4>;

// Exactly four decimal octets 0..255 separated by dots (leading zeros
// allowed); nothing otherwise.
std::optional<Ipv4> parseDottedIp(const std::string& text);
std::string dottedIp(const Ipv4& address);

} // namespace k4

#pragma once
// IPv4 addresses as the station writes them: dotted text for the sockets,
// the fixed-width form of the address fields ("192.168.001.010") and the
// 32-bit value of the configuration, first octet most significant.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

using Ipv4 = std::array<uint8_t, 4>;

// Octet k from the three characters at 4k, blanks trimmed; a field that is
// not a number counts 0.
uint32_t ipToInt(const std::string& text);
// "%d.%d.%d.%d".
std::string intToIp(uint32_t value);

// Exactly four decimal octets 0..255 separated by dots (leading zeros
// allowed); nothing otherwise.
std::optional<Ipv4> parseDottedIp(const std::string& text);
std::string dottedIp(const Ipv4& address);

} // namespace k4

#pragma once
// The encrypted frames: AES in CBC mode with an all-zero IV, the key of
// the account 16, 24 or 32 bytes long. What is encrypted is the text after
// '[' up to the end of the time stamp, led by filler bytes and a '|' so
// that it fills whole 16-byte blocks; on the wire it travels as hex.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

// A key from its hex text (32, 48 or 64 hex digits); nothing otherwise.
std::optional<std::vector<uint8_t>> dc09KeyFromHex(std::string_view hex);

// The clear text of a hex cipher text: the part after the '|' of the
// filler. Nothing when the hex, the length, the key or the filler is wrong,
// or when the clear text holds anything but printable ASCII.
std::optional<std::string> dc09Decrypt(const std::vector<uint8_t>& key, std::string_view hex);

// The filler is drawn from fill (a byte, any value; the filler keeps only
// printable characters that cannot be taken for the '|' or a bracket).
using Dc09Filler = std::function<uint8_t()>;
// Hex (upper case) of the encrypted "filler|text". Empty on a bad key.
std::string dc09Encrypt(const std::vector<uint8_t>& key, std::string_view text, const Dc09Filler& fill);

// A filler from the system's random source.
uint8_t dc09RandomFill();

} // namespace k4

// Any bytes as the cipher text of an encrypted frame, for each key size:
// what decrypts must be printable text after a filler shorter than a block,
// and encrypting it again must give it back.
#include "net/dc09_crypto.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> keys[] = {
        *k4::dc09KeyFromHex("000102030405060708090A0B0C0D0E0F"),
        *k4::dc09KeyFromHex("000102030405060708090A0B0C0D0E0F1011121314151617"),
        *k4::dc09KeyFromHex("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"),
    };
    const std::string text(reinterpret_cast<const char*>(data), size);
    // The bytes as hex text on the wire, and as the cipher bytes themselves.
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (uint8_t b : text) {
        hex.push_back(digits[b >> 4]);
        hex.push_back(digits[b & 0x0F]);
    }
    auto fill = [] { return uint8_t{9}; };
    for (const auto& key : keys) {
        for (const std::string* input : {&text, static_cast<const std::string*>(&hex)}) {
            const auto clear = k4::dc09Decrypt(key, *input);
            if (!clear) continue;
            for (char c : *clear) {
                if (c < 0x20 || c > 0x7E) std::abort();
            }
            if (k4::dc09Decrypt(key, k4::dc09Encrypt(key, *clear, fill)) != *clear) std::abort();
        }
        // Clear text of any bytes round-trips.
        const std::string cipher = k4::dc09Encrypt(key, text, fill);
        bool printable = true;
        for (char c : text) printable = printable && c >= 0x20 && c <= 0x7E;
        if (printable && k4::dc09Decrypt(key, cipher) != text) std::abort();
    }
    return 0;
}

#include "net/dc09_crypto.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

namespace k4 {

namespace {

const EVP_CIPHER* cipherFor(size_t keyBytes) {
    switch (keyBytes) {
    case 16: return EVP_aes_128_cbc();
    case 24: return EVP_aes_192_cbc();
    case 32: return EVP_aes_256_cbc();
    default: return nullptr;
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::vector<uint8_t>> bytesFromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = hexValue(hex[i]);
        const int lo = hexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return out;
}

// One pass of the cipher without its own padding: the text is whole blocks.
std::optional<std::vector<uint8_t>> run(const std::vector<uint8_t>& key, const std::vector<uint8_t>& in, bool encrypt) {
    const EVP_CIPHER* cipher = cipherFor(key.size());
    if (!cipher || in.empty() || in.size() % 16 != 0) return std::nullopt;
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    if (!ctx) return std::nullopt;
    const uint8_t iv[16] = {};
    if (EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), iv, encrypt ? 1 : 0) != 1) return std::nullopt;
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    std::vector<uint8_t> out(in.size() + 16);
    int written = 0;
    int last = 0;
    if (EVP_CipherUpdate(ctx.get(), out.data(), &written, in.data(), static_cast<int>(in.size())) != 1) return std::nullopt;
    if (EVP_CipherFinal_ex(ctx.get(), out.data() + written, &last) != 1) return std::nullopt;
    out.resize(static_cast<size_t>(written + last));
    return out;
}

} // namespace

std::optional<std::vector<uint8_t>> dc09KeyFromHex(std::string_view hex) {
    if (hex.size() != 32 && hex.size() != 48 && hex.size() != 64) return std::nullopt;
    return bytesFromHex(hex);
}

std::optional<std::string> dc09Decrypt(const std::vector<uint8_t>& key, std::string_view hex) {
    const auto cipherText = bytesFromHex(hex);
    if (!cipherText) return std::nullopt;
    const auto clear = run(key, *cipherText, false);
    if (!clear) return std::nullopt;
    // A wrong key gives bytes of every value: only printable text passes.
    for (uint8_t b : *clear) {
        if (b < 0x20 || b > 0x7E) return std::nullopt;
    }
    const std::string text(clear->begin(), clear->end());
    const size_t bar = text.find('|');
    // The filler is shorter than a block, and never holds a bracket.
    if (bar == std::string::npos || bar > 15) return std::nullopt;
    if (text.find_first_of("[]", 0) < bar) return std::nullopt;
    return text.substr(bar + 1);
}

std::string dc09Encrypt(const std::vector<uint8_t>& key, std::string_view text, const Dc09Filler& fill) {
    if (!cipherFor(key.size())) return {};
    const size_t fillerLength = (16 - (text.size() + 1) % 16) % 16;
    std::vector<uint8_t> clear;
    clear.reserve(fillerLength + 1 + text.size());
    while (clear.size() < fillerLength) {
        // Printable, and neither '|' nor a bracket: the reader looks for them.
        const uint8_t b = static_cast<uint8_t>(0x21 + fill() % 0x5E);
        clear.push_back(b == '|' || b == '[' || b == ']' ? uint8_t{'0'} : b);
    }
    clear.push_back('|');
    clear.insert(clear.end(), text.begin(), text.end());
    const auto cipherText = run(key, clear, true);
    if (!cipherText) return {};
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(cipherText->size() * 2);
    for (uint8_t b : *cipherText) {
        hex.push_back(digits[b >> 4]);
        hex.push_back(digits[b & 0x0F]);
    }
    return hex;
}

uint8_t dc09RandomFill() {
    uint8_t b = 0;
    if (RAND_bytes(&b, 1) != 1) b = 0x41;
    return b;
}

} // namespace k4

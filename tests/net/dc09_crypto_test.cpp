// The encrypted frames: AES-CBC with a zero IV for each key size.
#include "net/dc09_crypto.h"

#include <openssl/evp.h>

#include <gtest/gtest.h>

namespace k4 {
namespace {

uint8_t counting() {
    static uint8_t n = 0;
    return n++;
}

TEST(Dc09Crypto, RoundTripForEveryKeySize) {
    for (const char* hex : {"000102030405060708090A0B0C0D0E0F", "000102030405060708090A0B0C0D0E0F1011121314151617",
                            "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"}) {
        const auto key = dc09KeyFromHex(hex);
        ASSERT_TRUE(key) << hex;
        for (const std::string& text : {std::string("]"), std::string("#1234|NBA01]_10:00:00,12-11-2026"),
                                       std::string(15, 'x'), std::string(31, 'y')}) {
            const std::string cipher = dc09Encrypt(*key, text, counting);
            ASSERT_FALSE(cipher.empty());
            EXPECT_EQ(cipher.size() % 32, 0u);
            EXPECT_EQ(cipher.size() / 2, (text.size() + 1 + 15) / 16 * 16);
            EXPECT_EQ(dc09Decrypt(*key, cipher), text) << hex;
        }
    }
}

TEST(Dc09Crypto, IsPlainCbcWithZeroIv) {
    // The second block of CBC with a zero IV: our cipher text must decrypt
    // with any AES-CBC implementation given the same key and IV.
    const auto key = *dc09KeyFromHex("2B7E151628AED2A6ABF7158809CF4F3C");
    const std::string cipher = dc09Encrypt(key, "]_04:15:00,12-11-2026", [] { return uint8_t{'A' - 0x21}; });
    ASSERT_EQ(cipher.size(), 64u);
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < cipher.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoi(cipher.substr(i, 2), nullptr, 16)));
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    const uint8_t iv[16] = {};
    EVP_DecryptInit_ex(ctx, EVP_aes_128_cbc(), nullptr, key.data(), iv);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    std::vector<uint8_t> clear(64);
    int n = 0, last = 0;
    EVP_DecryptUpdate(ctx, clear.data(), &n, bytes.data(), static_cast<int>(bytes.size()));
    EVP_DecryptFinal_ex(ctx, clear.data() + n, &last);
    EVP_CIPHER_CTX_free(ctx);
    EXPECT_EQ(std::string(clear.begin(), clear.begin() + n + last), "AAAAAAAAAA|]_04:15:00,12-11-2026");
}

TEST(Dc09Crypto, RefusesWhatDoesNotDecryptToABlock) {
    const auto key = *dc09KeyFromHex("000102030405060708090A0B0C0D0E0F");
    const auto other = *dc09KeyFromHex("0F0E0D0C0B0A09080706050403020100");
    const std::string good = dc09Encrypt(key, "#1|NBA01]", counting);
    EXPECT_FALSE(dc09Decrypt(other, good));                          // wrong key
    EXPECT_FALSE(dc09Decrypt(key, good.substr(0, good.size() - 2))); // not whole blocks
    EXPECT_FALSE(dc09Decrypt(key, good.substr(0, good.size() - 1))); // odd hex
    EXPECT_FALSE(dc09Decrypt(key, ""));
    EXPECT_FALSE(dc09Decrypt(key, std::string(32, 'G')));            // not hex
    EXPECT_FALSE(dc09Decrypt(std::vector<uint8_t>(5), good));         // not a key size
    EXPECT_FALSE(dc09KeyFromHex("0011"));
    EXPECT_FALSE(dc09KeyFromHex(std::string(32, 'Z')));
}

} // namespace
} // namespace k4

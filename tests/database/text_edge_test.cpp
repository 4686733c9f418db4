#include "database/text_edge.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace k4 {
namespace {

// What the C library's converter makes of one CP1250 byte; empty when it
// has no character for it.
std::string iconvUtf8(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "?";
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1, outLeft = sizeof out;
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return "";
    return std::string(out, sizeof out - outLeft);
}

TEST(TextEdge, Cp1250TableAgreesWithTheSystemConverter) {
    for (int c = 0x80; c < 0x100; ++c) {
        const std::string expected = iconvUtf8(static_cast<unsigned char>(c));
        const std::string ours = Utf8FromCp1250(std::string(1, static_cast<char>(c)));
        if (!expected.empty()) {
            EXPECT_EQ(ours, expected) << std::hex << c;
        }
        EXPECT_EQ(Cp1250FromUtf8(ours), std::string(1, static_cast<char>(c))) << std::hex << c;
    }
}

TEST(TextEdge, MazoviaToTheScreenAndBack) {
    const std::string mazovia = "Za\xA7\xA2\x92\x8D g\x91\x9El\x86 ja\xA6\xA4";
    EXPECT_EQ(Utf8FromMazovia(mazovia), "Zażółć gęślą jaźń");
    EXPECT_EQ(MazoviaFromUtf8("Zażółć gęślą jaźń"), mazovia);
    EXPECT_EQ(mz("ŹDŹBŁO"), "\xA0" "D\xA0" "B\x9CO");
}

TEST(TextEdge, UnknownAndMalformedTextBecomesQuestionMarks) {
    EXPECT_EQ(Cp1250FromUtf8("日本"), "??");
    EXPECT_EQ(Cp1250FromUtf8("a\xC5"), "a?");       // cut sequence
    EXPECT_EQ(Cp1250FromUtf8("\xFF" "b"), "?b");     // no such lead byte
    EXPECT_EQ(Cp1250FromUtf8("\xC5" "b"), "?b");     // no continuation
}

} // namespace
} // namespace k4

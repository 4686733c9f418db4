#include "database/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace k4 {
namespace {

// The eighteen Polish letters Ą Ć Ę Ł Ń Ó Ś Ź Ż ą ć ę ł ń ó ś ź ż in each page.
const std::vector<std::string> kRows = {
    "\x8F\x95\x90\x9C\xA5\xA3\x98\xA0\xA1\x86\x8D\x91\x92\xA4\xA2\x9E\xA6\xA7",
    "\xA4\x8F\xA8\x9D\xE3\xE0\x97\x8D\xBD\xA5\x86\xA9\x88\xE4\xA2\x98\xAB\xBE",
    "\xA1\xC6\xCA\xA3\xD1\xD3\xA6\xAC\xAF\xB1\xE6\xEA\xB3\xF1\xF3\xB6\xBC\xBF",
    "ACELNOSZZacelnoszz",
    "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF",
};

std::string converted(std::string text, int direction) {
    ConvertCodePage(text, direction);
    return text;
}

TEST(ConvertCodePage, EveryLetterOfEveryPageGoesBothWays) {
    for (int page = 1; page < kCodePageCount; ++page) {
        EXPECT_EQ(converted(kRows[0], page), kRows[page]) << "to page " << page;
        if (page != kPlainAscii) {
            EXPECT_EQ(converted(kRows[page], -page), kRows[0]) << "from page " << page;
        }
    }
}

TEST(ConvertCodePage, PolishSentenceRoundTripsAndLosesDiacriticsInAscii) {
    const std::string cp1250 = "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1"; // Zażółć gęślą jaźń
    const std::string mazovia = converted(cp1250, -kCp1250);
    EXPECT_EQ(mazovia, "Za\xA7\xA2\x92\x8D g\x91\x9El\x86 ja\xA6\xA4");
    EXPECT_EQ(converted(mazovia, kCp1250), cp1250);
    EXPECT_EQ(converted(mazovia, kPlainAscii), "Zazolc gesla jazn");
    // ASCII holds no byte above 0x7F, so nothing comes back.
    EXPECT_EQ(converted("Zazolc", -kPlainAscii), "Zazolc");
}

TEST(ConvertCodePage, OtherBytesLengthAndDirectionZeroStay) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(converted(all, 0), all);
    for (int d = -4; d <= 4; ++d) EXPECT_EQ(converted(all, d).size(), all.size());
    EXPECT_EQ(converted("\xE9", -kCp1250), "\xE9"); // é is no Polish letter
    EXPECT_EQ(converted("\xE9", kCp1250), "\xE9");
    EXPECT_EQ(converted("\xC9\xCD\xBB", kCp852), "\xC9\xCD\xBB"); // box drawing
    // A direction that names no page changes nothing.
    EXPECT_EQ(converted(kRows[0], 7), kRows[0]);
    EXPECT_EQ(converted(kRows[0], -9), kRows[0]);
}

TEST(ConvertCodePage, StopsAtTheTerminatingNul) {
    std::string text("\x86\0\x86", 3);
    ConvertCodePage(text, kCp1250);
    EXPECT_EQ(text, std::string("\xB9\0\x86", 3));
}

TEST(CompareMazovia, PolishAlphabetSortsInOrderCapitalsFirst) {
    // A Ą B C Ć D E Ę F G H I J K L Ł M N Ń O Ó P Q R S Ś T U V W X Y Z Ź Ż
    const std::string capitals = "A\x8F" "BC\x95" "DE\x90" "FGHIJKL\x9C" "MN\xA5" "O\xA3"
                                 "PQRS\x98" "TUVWXYZ\xA0\xA1";
    const std::string smalls = "a\x86" "bc\x8D" "de\x91" "fghijkl\x92" "mn\xA4" "o\xA2"
                               "pqrs\x9E" "tuvwxyz\xA6\xA7";
    ASSERT_EQ(capitals.size(), 35u);
    std::vector<std::string> expected;
    for (size_t i = 0; i < capitals.size(); ++i) {
        expected.push_back(std::string(1, capitals[i]));
        expected.push_back(std::string(1, smalls[i]));
    }
    std::vector<std::string> sorted = expected;
    std::reverse(sorted.begin(), sorted.end());
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return CompareMazovia(a.c_str(), b.c_str()) < 0;
    });
    EXPECT_EQ(sorted, expected);
    // Letters first, then the brackets and the rest of the DOS page.
    EXPECT_LT(CompareMazovia("\xA7", "["), 0);
    EXPECT_LT(CompareMazovia("~", "\x80"), 0);
    EXPECT_LT(CompareMazovia("9", "A"), 0);
}

TEST(CompareMazovia, SignsOfTheClassicCases) {
    EXPECT_GT(CompareMazovia("\x9C\xA2" "d\xA6", "Lodz"), 0); // Łódź after Lodz
    EXPECT_GT(CompareMazovia("lodz", "Lodz"), 0);
    EXPECT_LT(CompareMazovia("Lod", "Lodz"), 0);
    EXPECT_EQ(CompareMazovia("Lodz", "Lodz"), 0);
    const char* ascending[] = {"Ala", "ala", "\x8F" "b", "Bob"};
    for (int i = 0; i + 1 < 4; ++i) EXPECT_LT(CompareMazovia(ascending[i], ascending[i + 1]), 0);
}

TEST(CompareMazoviaN, ComparesOnlyThePrefix) {
    EXPECT_EQ(CompareMazoviaN("Kowalski", "Kowal", 5), 0);
    EXPECT_GT(CompareMazoviaN("Kowalski", "Kowal", 6), 0);
    EXPECT_LT(CompareMazoviaN("Kowa", "Kowal", 5), 0);
    EXPECT_EQ(CompareMazoviaN("abc", "xyz", 0), 0);
}

TEST(UpperMazovia, PolishAndAsciiLettersOnly) {
    const std::pair<std::string, std::string> cases[] = {
        // źdźbło 12,-;ąćęńóśż
        {"\xA6" "d\xA6" "b\x92o 12,-;\x86\x8D\x91\xA4\xA2\x9E\xA7",
         "\xA0" "D\xA0" "B\x9CO 12,-;\x8F\x95\x90\xA5\xA3\x98\xA1"},
        {"za\xA7\xA2\x92\x8D", "ZA\xA1\xA3\x9C\x95"}, // zażółć -> ZAŻÓŁĆ
        {"ZA\xA1\xA3\x9C\x95", "ZA\xA1\xA3\x9C\x95"}, // capitals stay
    };
    for (const auto& [text, upper] : cases) {
        std::string changed = text;
        UpperMazovia(changed);
        EXPECT_EQ(changed, upper);
    }
}

} // namespace
} // namespace k4

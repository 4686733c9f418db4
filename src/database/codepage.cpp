#include "database/codepage.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace k4 {

namespace {

constexpr int kLetters = 18;

// One row per code page, the Polish letters in the order
// Ą Ć Ę Ł Ń Ó Ś Ź Ż ą ć ę ł ń ó ś ź ż.
constexpr uint8_t PolishLetters[kCodePageCount][kLetters] = {
    {0x8F, 0x95, 0x90, 0x9C, 0xA5, 0xA3, 0x98, 0xA0, 0xA1,
     0x86, 0x8D, 0x91, 0x92, 0xA4, 0xA2, 0x9E, 0xA6, 0xA7}, // Mazovia
    {0xA4, 0x8F, 0xA8, 0x9D, 0xE3, 0xE0, 0x97, 0x8D, 0xBD,
     0xA5, 0x86, 0xA9, 0x88, 0xE4, 0xA2, 0x98, 0xAB, 0xBE}, // CP852
    {0xA1, 0xC6, 0xCA, 0xA3, 0xD1, 0xD3, 0xA6, 0xAC, 0xAF,
     0xB1, 0xE6, 0xEA, 0xB3, 0xF1, 0xF3, 0xB6, 0xBC, 0xBF}, // ISO-8859-2
    {'A', 'C', 'E', 'L', 'N', 'O', 'S', 'Z', 'Z',
     'a', 'c', 'e', 'l', 'n', 'o', 's', 'z', 'z'},          // plain ASCII
    {0xA5, 0xC6, 0xCA, 0xA3, 0xD1, 0xD3, 0x8C, 0x8F, 0xAF,
     0xB9, 0xE6, 0xEA, 0xB3, 0xF1, 0xF3, 0x9C, 0x9F, 0xBF}, // CP1250
};

// The nine small Mazovia letters and their capitals.
constexpr uint8_t MazoviaUpper[2][9] = {
    {0x86, 0x8D, 0x91, 0x92, 0xA4, 0xA2, 0x9E, 0xA6, 0xA7},
    {0x8F, 0x95, 0x90, 0x9C, 0xA5, 0xA3, 0x98, 0xA0, 0xA1},
};

constexpr std::array<uint8_t, 256> buildCollation() {
    std::array<uint8_t, 256> w{};
    std::array<bool, 256> assigned{};
    for (int c = 0; c <= 0x40; ++c) { w[c] = static_cast<uint8_t>(c); assigned[c] = true; }
    for (int c = 0xA8; c <= 0xFF; ++c) { w[c] = static_cast<uint8_t>(c); assigned[c] = true; }

    // The 35 letters of the Polish alphabet as (capital, small) Mazovia bytes.
    constexpr uint8_t alphabet[35][2] = {
        {'A', 'a'}, {0x8F, 0x86}, {'B', 'b'}, {'C', 'c'}, {0x95, 0x8D}, {'D', 'd'},
        {'E', 'e'}, {0x90, 0x91}, {'F', 'f'}, {'G', 'g'}, {'H', 'h'}, {'I', 'i'},
        {'J', 'j'}, {'K', 'k'}, {'L', 'l'}, {0x9C, 0x92}, {'M', 'm'}, {'N', 'n'},
        {0xA5, 0xA4}, {'O', 'o'}, {0xA3, 0xA2}, {'P', 'p'}, {'Q', 'q'}, {'R', 'r'},
        {'S', 's'}, {0x98, 0x9E}, {'T', 't'}, {'U', 'u'}, {'V', 'v'}, {'W', 'w'},
        {'X', 'x'}, {'Y', 'y'}, {'Z', 'z'}, {0xA0, 0xA6}, {0xA1, 0xA7},
    };
    int next = 0x41;
    for (const auto& letter : alphabet) {
        for (uint8_t c : letter) {
            w[c] = static_cast<uint8_t>(next++);
            assigned[c] = true;
        }
    }
    // What is left of 0x41..0xA7 (brackets, punctuation, other DOS letters)
    // follows the alphabet in code order.
    for (int c = 0x41; c <= 0xA7; ++c) {
        if (!assigned[c]) {
            w[c] = static_cast<uint8_t>(next++);
            assigned[c] = true;
        }
    }
    return w;
}

constexpr std::array<uint8_t, 256> MazoviaCollation = buildCollation();

constexpr bool isPermutation(const std::array<uint8_t, 256>& w) {
    std::array<bool, 256> seen{};
    for (uint8_t v : w) {
        if (seen[v]) return false;
        seen[v] = true;
    }
    return true;
}
static_assert(isPermutation(MazoviaCollation), "collation weights must be a permutation");
static_assert(MazoviaCollation[0x8F] == 0x43 && MazoviaCollation[0xA7] == 0x86);
static_assert(MazoviaCollation['['] == 0x87 && MazoviaCollation[0x7F] == 0x91 &&
              MazoviaCollation[0x80] == 0x92);

} // namespace

void ConvertCodePage(char* text, int direction) {
    if (direction == 0 || !text) return;
    if (direction >= kCodePageCount || direction <= -kCodePageCount) return;
    const int source = direction > 0 ? 0 : -direction;
    const int target = direction > 0 ? direction : 0;
    for (auto* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) continue;
        for (int k = 0; k < kLetters; ++k) {
            if (PolishLetters[source][k] == *p) {
                *p = PolishLetters[target][k];
                break;
            }
        }
    }
}

void ConvertCodePage(std::string& text, int direction) {
    ConvertCodePage(text.data(), direction);
}

int MazoviaWeight(unsigned char c) { return MazoviaCollation[c]; }

int CompareMazovia(const char* a, const char* b) {
    size_t i = 0;
    while (a[i] != '\0' && a[i] == b[i]) ++i;
    return MazoviaCollation[static_cast<unsigned char>(a[i])] -
           MazoviaCollation[static_cast<unsigned char>(b[i])];
}

int CompareMazoviaN(const char* a, const char* b, int n) {
    int i = 0;
    while (i < n && a[i] != '\0' && a[i] == b[i]) ++i;
    if (i >= n) return 0;
    return MazoviaCollation[static_cast<unsigned char>(a[i])] -
           MazoviaCollation[static_cast<unsigned char>(b[i])];
}

void UpperMazovia(char* text) {
    for (auto* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
        bool polish = false;
        for (int k = 0; k < 9; ++k) {
            if (*p == MazoviaUpper[0][k]) {
                *p = MazoviaUpper[1][k];
                polish = true;
                break;
            }
        }
        if (!polish && *p >= 'a' && *p <= 'z') *p = static_cast<unsigned char>(*p - 'a' + 'A');
    }
}

void UpperMazovia(std::string& text) { UpperMazovia(text.data()); }

} // namespace k4

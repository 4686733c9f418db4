#pragma once
// Stored text is Mazovia, the Polish DOS code page of the earlier generation
// of the centre; screens, printers and operators' files use other pages. These
// routines are the only knowledge of code pages the station has.
#include <string>

namespace k4 {

// Code page numbers as they appear in the configuration, in "obsluga.txt"
// and as the direction of ConvertCodePage.
enum CodePage : int {
    kMazovia = 0,
    kCp852 = 1,
    kIso8859_2 = 2,
    kPlainAscii = 3,
    kCp1250 = 4,
};
constexpr int kCodePageCount = 5;

// Converts a NUL-terminated text in place. Direction 0 does nothing, d > 0
// converts Mazovia to page d, -d converts page d to Mazovia. Only the 18
// Polish letters move; every other byte, and the length, stay. A direction
// outside -4..4 names no page and leaves the text alone.
void ConvertCodePage(char* text, int direction);
// The same over a string, up to its first NUL byte.
void ConvertCodePage(std::string& text, int direction);

// Polish collation of Mazovia texts: capitals first within a letter,
// Ą after A, Ł after L and so on; a proper prefix sorts first.
int CompareMazovia(const char* a, const char* b);
// The same over at most n characters (prefix search).
int CompareMazoviaN(const char* a, const char* b, int n);

// Upper-cases a Mazovia text in place, Polish letters included.
void UpperMazovia(char* text);
void UpperMazovia(std::string& text);

// The sort weight of a Mazovia byte.
int MazoviaWeight(unsigned char c);

} // namespace k4

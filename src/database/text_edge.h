#pragma once
// Conversions at the edges of the station: stored Mazovia text on its way to
// a window or a terminal (Mazovia -> CP1250 -> Unicode) and typed text on its
// way back. Message texts are written in the source as UTF-8 and turned into
// their stored form once with MazoviaFromUtf8.
#include <string>
#include <string_view>

namespace k4 {

// CP1250 bytes to UTF-8. The five bytes CP1250 leaves undefined become the
// control code points of the same value, so nothing is lost on the way back.
std::string Utf8FromCp1250(std::string_view cp1250);
// UTF-8 to CP1250; characters the page does not have become '?', and so do
// malformed UTF-8 sequences.
std::string Cp1250FromUtf8(std::string_view utf8);

// Stored text to UTF-8 and back, through CP1250 as the windows do.
std::string Utf8FromMazovia(std::string_view mazovia);
std::string MazoviaFromUtf8(std::string_view utf8);

} // namespace k4

namespace k4 {
// Short form for message texts in the source: mz("\x03zapisu konfiguracji").
inline std::string mz(std::string_view utf8) { return MazoviaFromUtf8(utf8); }
} // namespace k4

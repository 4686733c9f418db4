#pragma once
// The pictures of the hydro panels, drawn by the program itself: one 32 x 32
// glyph per element kind, and the strip of the counter's digits (17 glyphs
// of 15 x 20 stacked top to bottom: "0"-"9", "A"-"F" and a blank).
#include <QColor>
#include <QImage>

#include <cstdint>

namespace k4 {

enum TGlyphKind : int {
    gkNone = 0,
    gkPompa = 1,
    gkZbiornik = 2,
    gkZasuwa = 3,
    gkTemperatura = 4,
    gkCisnienie = 5,
    gkStudnia = 6,
    gkHydrofor = 7,
    gkPrzeplyw = 8,
    gkPrzeplywChw = 9,
};

// The resource name each glyph had ("B_POMPA", ...); "" for gkNone.
const char* glyphResourceName(TGlyphKind kind);
// A null image for gkNone.
QImage hydroGlyph(TGlyphKind kind);

constexpr int kDigitWidth = 15;
constexpr int kDigitHeight = 20;
constexpr int kDigitGlyphs = 17;
constexpr int kBlankDigit = 16;
// "DIGITS": 15 x 340.
const QImage& digitStrip();

// The colours of the panels are given as the old BGR words (0x00BBGGRR).
inline QColor colorFromBgr(uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace k4

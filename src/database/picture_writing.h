#pragma once
// Pictures written by the station itself: the plans and views of the demo
// installation's objects, in each of the formats "grafika" holds.
#include <cstdint>
#include <string>
#include <vector>

namespace k4 {

// Top-down rows of RGB triples.
struct RgbPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    void set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
    static RgbPicture filled(int width, int height, uint8_t r, uint8_t g, uint8_t b);
};

// PCX, run-length coded: 8 bits with the 256-colour palette at the end
// (colours beyond 256 are reduced to 3-3-2 bits), or 24 bits in three
// planes.
std::string encodePcx(const RgbPicture& picture, bool indexed);
// BMP of 24 bits, bottom-up, no compression.
std::string encodeBmp(const RgbPicture& picture);
// Baseline JPEG through libjpeg.
std::string encodeJpeg(const RgbPicture& picture, int quality = 85);

} // namespace k4

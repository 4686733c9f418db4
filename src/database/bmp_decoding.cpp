// BMP read directly: the 14-byte file header, an information header of the
// OS/2 (12 bytes) or Windows (40 bytes and its later, longer forms) kind,
// a colour table for up to 8 bits, then the rows, each padded to 4 bytes,
// from the bottom up unless the height is negative. Uncompressed pictures of
// 1, 4, 8, 16, 24 and 32 bits and the bit-field masks of 16 and 32 bits;
// the run-length variants are refused as not supported.
#include "database/picture_decoding.h"

#include <cstdlib>

namespace k4 {

namespace {

uint32_t le16(const uint8_t* p) { return p[0] | (p[1] << 8u); }
uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8u) | (p[2] << 16u) | (uint32_t{p[3]} << 24u); }

DecodedPicture fault(PictureFault f) {
    DecodedPicture out;
    out.fault = f;
    return out;
}

// A colour channel under a bit-field mask, scaled to 0..255.
struct Channel {
    unsigned shift = 0, bits = 0;
    explicit Channel(uint32_t mask) {
        if (mask == 0) return;
        while (!(mask & 1u)) {
            mask >>= 1;
            ++shift;
        }
        while (mask & 1u) {
            mask >>= 1;
            ++bits;
        }
    }
    unsigned value(uint32_t pixel) const {
        if (bits == 0) return 0;
        const uint32_t v = (pixel >> shift) & ((bits >= 32 ? 0u : (1u << bits)) - 1u);
        return bits >= 8 ? (v >> (bits - 8)) : static_cast<unsigned>(v * 255u / ((1u << bits) - 1u));
    }
};

} // namespace

DecodedPicture decodeBmp(const uint8_t* data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') return fault(PictureFault::Damaged);
    const uint32_t pixelsAt = le32(data + 10);
    const uint32_t infoSize = le32(data + 14);
    if (infoSize < 12 || 14 + uint64_t{infoSize} > size) return fault(PictureFault::Damaged);
    const uint8_t* info = data + 14;
    int64_t width = 0, height = 0;
    unsigned bits = 0, compression = 0, used = 0;
    if (infoSize == 12) {
        width = le16(info + 4);
        height = le16(info + 6);
        bits = le16(info + 10);
    } else {
        if (infoSize < 40) return fault(PictureFault::Damaged);
        width = static_cast<int32_t>(le32(info + 4));
        height = static_cast<int32_t>(le32(info + 8));
        bits = le16(info + 14);
        compression = le32(info + 16);
        used = le32(info + 32);
    }
    const bool topDown = height < 0;
    height = std::llabs(height);
    if (width <= 0 || height <= 0) return fault(PictureFault::Damaged);
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
        return fault(PictureFault::TooLarge);

    // Bit-field masks: in the longer headers, or after a 40-byte one.
    uint32_t masks[3] = {0, 0, 0};
    if (compression == 3 && (bits == 16 || bits == 32)) {
        const size_t at = infoSize >= 52 ? 14 + 40 : 14 + infoSize;
        if (at + 12 > size) return fault(PictureFault::Damaged);
        for (int i = 0; i < 3; ++i) masks[i] = le32(data + at + 4 * static_cast<size_t>(i));
    } else if (compression != 0) {
        return fault(PictureFault::Unsupported);
    } else if (bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fault(PictureFault::Unsupported);

    uint8_t palette[256][3] = {};
    if (bits <= 8) {
        const size_t entry = infoSize == 12 ? 3 : 4;
        const size_t colours = (used == 0 || used > (1u << bits)) ? (1u << bits) : used;
        const size_t at = 14 + infoSize;
        // A table cut short by the pixel data leaves its last colours black.
        for (size_t i = 0; i < colours && at + (i + 1) * entry <= size && at + (i + 1) * entry <= pixelsAt; ++i) {
            palette[i][0] = data[at + i * entry + 2];
            palette[i][1] = data[at + i * entry + 1];
            palette[i][2] = data[at + i * entry];
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    if (pixelsAt > size || stride * static_cast<uint64_t>(height) > size - pixelsAt) return fault(PictureFault::Damaged);

    DecodedPicture out;
    if (!out.pixmap.allocate(static_cast<int>(width), static_cast<int>(height))) return fault(PictureFault::TooLarge);
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* p = data + pixelsAt + stride * static_cast<uint64_t>(row);
        const int y = static_cast<int>(topDown ? row : height - 1 - row);
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 1:
            case 4:
            case 8: {
                const unsigned perByte = 8 / bits;
                const unsigned shift = 8 - bits * (1 + static_cast<unsigned>(x) % perByte);
                const unsigned index = (p[static_cast<unsigned>(x) / perByte] >> shift) & ((1u << bits) - 1);
                out.pixmap.set(x, y, palette[index][0], palette[index][1], palette[index][2]);
                break;
            }
            case 24: out.pixmap.set(x, y, p[x * 3 + 2], p[x * 3 + 1], p[x * 3]); break;
            case 16: {
                const uint32_t v = le16(p + x * 2);
                out.pixmap.set(x, y, red.value(v), green.value(v), blue.value(v));
                break;
            }
            default: {
                const uint32_t v = le32(p + x * 4);
                out.pixmap.set(x, y, red.value(v), green.value(v), blue.value(v));
                break;
            }
            }
        }
    }
    return out;
}

} // namespace k4

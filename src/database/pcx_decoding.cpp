// PCX: a 128-byte header, then every scan line run-length coded (a byte
// 0xC0 | n repeats the next byte n times), each line holding its planes one
// after the other. Indexed pictures take their colours from the header's 16
// (up to 4 bits) or from the 256 after the 0x0C marker at the end of the
// file (8 bits, one plane); 8 bits in three or four planes are RGB(A).
#include "database/picture_decoding.h"

#include <vector>

namespace k4 {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kLongPaletteSize = 769; // 0x0C and 256 RGB triples

unsigned le16(const uint8_t* p) { return p[0] | (p[1] << 8u); }

DecodedPicture fault(PictureFault f) {
    DecodedPicture out;
    out.fault = f;
    return out;
}

// The run-length stream of the scan lines, decoded as one sequence: some
// writers let a run go on into the next line.
class RunLengthReader {
public:
    RunLengthReader(const uint8_t* data, size_t size, bool coded) : p_(data), end_(data + size), coded_(coded) {}
    // false when the data end before the line is whole.
    bool line(uint8_t* out, size_t length) {
        size_t put = 0;
        while (put < length) {
            if (run_ > 0) {
                const size_t n = std::min<size_t>(run_, length - put);
                std::fill(out + put, out + put + n, value_);
                put += n;
                run_ -= n;
                continue;
            }
            if (p_ >= end_) return false;
            const uint8_t b = *p_++;
            if (coded_ && (b & 0xC0) == 0xC0) {
                if (p_ >= end_) return false;
                run_ = b & 0x3Fu;
                value_ = *p_++;
            } else {
                out[put++] = b;
            }
        }
        return true;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
    bool coded_;
    size_t run_ = 0;
    uint8_t value_ = 0;
};

} // namespace

DecodedPicture decodePcx(const uint8_t* data, size_t size) {
    if (size < kHeaderSize || data[0] != 0x0A || data[2] > 1) return fault(PictureFault::Damaged);
    const unsigned bits = data[3];
    const unsigned planes = data[65];
    const unsigned xmin = le16(data + 4), ymin = le16(data + 6), xmax = le16(data + 8), ymax = le16(data + 10);
    const size_t bytesPerLine = le16(data + 66);
    if (xmax < xmin || ymax < ymin) return fault(PictureFault::Damaged);
    const int cols = static_cast<int>(xmax - xmin + 1);
    const int rows = static_cast<int>(ymax - ymin + 1);

    const bool rgb = bits == 8 && (planes == 3 || planes == 4);
    const bool indexed256 = bits == 8 && planes == 1;
    const bool planar16 = bits == 1 && planes >= 1 && planes <= 4;
    const bool packed16 = (bits == 2 || bits == 4) && planes == 1;
    if (!rgb && !indexed256 && !planar16 && !packed16) return fault(PictureFault::Unsupported);
    if (bytesPerLine == 0 || bytesPerLine * 8 < static_cast<size_t>(cols) * bits) return fault(PictureFault::Damaged);
    if (int64_t{cols} * rows > kMaxPicturePixels || cols > kMaxPictureSide || rows > kMaxPictureSide)
        return fault(PictureFault::TooLarge);

    // The colours of an indexed picture.
    uint8_t palette[256][3] = {};
    size_t imageEnd = size;
    if (indexed256) {
        if (size >= kHeaderSize + kLongPaletteSize && data[size - kLongPaletteSize] == 0x0C) {
            const uint8_t* p = data + size - kLongPaletteSize + 1;
            for (int i = 0; i < 256; ++i)
                for (int c = 0; c < 3; ++c) palette[i][c] = p[i * 3 + c];
            imageEnd = size - kLongPaletteSize;
        } else if (data[1] >= 5) {
            // The writers of version 5 always end an 8-bit picture with its
            // palette: without it the file was cut short.
            return fault(PictureFault::Damaged);
        } else {
            // Older versions knew no palette: an 8-bit picture is a grey scale.
            for (int i = 0; i < 256; ++i) palette[i][0] = palette[i][1] = palette[i][2] = static_cast<uint8_t>(i);
        }
    } else if (planar16 && planes == 1) {
        palette[0][0] = palette[0][1] = palette[0][2] = 0;
        palette[1][0] = palette[1][1] = palette[1][2] = 255;
    } else if (!rgb) {
        for (int i = 0; i < 16; ++i)
            for (int c = 0; c < 3; ++c) palette[i][c] = data[16 + i * 3 + c];
    }

    DecodedPicture out;
    if (!out.pixmap.allocate(cols, rows)) return fault(PictureFault::TooLarge);
    RunLengthReader reader(data + kHeaderSize, imageEnd - kHeaderSize, data[2] == 1);
    std::vector<uint8_t> line(bytesPerLine * planes);
    for (int y = 0; y < rows; ++y) {
        if (!reader.line(line.data(), line.size())) return fault(PictureFault::Damaged);
        const uint8_t* plane0 = line.data();
        for (int x = 0; x < cols; ++x) {
            if (rgb) {
                out.pixmap.set(x, y, plane0[x], plane0[bytesPerLine + x], plane0[2 * bytesPerLine + x]);
                continue;
            }
            unsigned index = 0;
            if (indexed256) {
                index = plane0[x];
            } else if (planar16) {
                for (unsigned p = 0; p < planes; ++p)
                    index |= ((plane0[p * bytesPerLine + x / 8] >> (7 - x % 8)) & 1u) << p;
            } else {
                const unsigned perByte = 8 / bits;
                const unsigned shift = 8 - bits * (1 + x % perByte);
                index = (plane0[x / perByte] >> shift) & ((1u << bits) - 1);
            }
            out.pixmap.set(x, y, palette[index][0], palette[index][1], palette[index][2]);
        }
    }
    return out;
}

} // namespace k4

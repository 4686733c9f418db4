#include "database/picture_writing.h"

#include <cstdio>
#include <cstdlib>
#include <map>

extern "C" {
#include <jpeglib.h>
}

namespace k4 {

namespace {

void put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// One plane line run-length coded; a byte of 0xC0 and above always goes
// as a run, since alone it would read as a count.
void runLength(std::string& out, const std::vector<uint8_t>& line) {
    for (size_t i = 0; i < line.size();) {
        size_t n = 1;
        while (i + n < line.size() && line[i + n] == line[i] && n < 63) ++n;
        if (n > 1 || line[i] >= 0xC0) out += static_cast<char>(0xC0 | n);
        out += static_cast<char>(line[i]);
        i += n;
    }
}

} // namespace

RgbPicture RgbPicture::filled(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    RgbPicture p;
    p.width = width;
    p.height = height;
    p.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p.set(x, y, r, g, b);
    return p;
}

std::string encodePcx(const RgbPicture& picture, bool indexed) {
    const int w = picture.width, h = picture.height;
    const unsigned bytesPerLine = static_cast<unsigned>(w + (w & 1));
    std::string out(128, '\0');
    out[0] = 0x0A;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    auto at16 = [&out](size_t at, unsigned v) {
        out[at] = static_cast<char>(v & 0xFF);
        out[at + 1] = static_cast<char>(v >> 8);
    };
    at16(8, static_cast<unsigned>(w - 1));
    at16(10, static_cast<unsigned>(h - 1));
    at16(12, 72);
    at16(14, 72);
    out[65] = static_cast<char>(indexed ? 1 : 3);
    at16(66, bytesPerLine);
    at16(68, 1);

    std::map<uint32_t, uint8_t> colours;
    bool reduced = false;
    if (indexed) {
        for (size_t i = 0; i + 2 < picture.rgb.size() && !reduced; i += 3) {
            const uint32_t c = (picture.rgb[i] << 16u) | (picture.rgb[i + 1] << 8u) | picture.rgb[i + 2];
            if (colours.count(c)) continue;
            if (colours.size() == 256) reduced = true;
            else colours.emplace(c, static_cast<uint8_t>(colours.size()));
        }
    }
    auto indexOf = [&](const uint8_t* p) -> uint8_t {
        if (reduced) return static_cast<uint8_t>((p[0] & 0xE0) | ((p[1] >> 3) & 0x1C) | (p[2] >> 6));
        return colours[(p[0] << 16u) | (p[1] << 8u) | p[2]];
    };
    std::vector<uint8_t> line(bytesPerLine);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = &picture.rgb[static_cast<size_t>(y) * static_cast<size_t>(w) * 3];
        if (indexed) {
            std::fill(line.begin(), line.end(), 0);
            for (int x = 0; x < w; ++x) line[static_cast<size_t>(x)] = indexOf(row + x * 3);
            runLength(out, line);
        } else {
            for (int c = 0; c < 3; ++c) {
                std::fill(line.begin(), line.end(), 0);
                for (int x = 0; x < w; ++x) line[static_cast<size_t>(x)] = row[x * 3 + c];
                runLength(out, line);
            }
        }
    }
    if (indexed) {
        out += '\x0C';
        std::string palette(768, '\0');
        for (int i = 0; i < 256; ++i) {
            if (!reduced) continue;
            palette[static_cast<size_t>(i) * 3] = static_cast<char>(i & 0xE0);
            palette[static_cast<size_t>(i) * 3 + 1] = static_cast<char>((i & 0x1C) << 3);
            palette[static_cast<size_t>(i) * 3 + 2] = static_cast<char>((i & 0x03) << 6);
        }
        if (!reduced)
            for (const auto& [c, i] : colours) {
                palette[static_cast<size_t>(i) * 3] = static_cast<char>(c >> 16);
                palette[static_cast<size_t>(i) * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
                palette[static_cast<size_t>(i) * 3 + 2] = static_cast<char>(c & 0xFF);
            }
        out += palette;
    }
    return out;
}

std::string encodeBmp(const RgbPicture& picture) {
    const uint32_t stride = ((static_cast<uint32_t>(picture.width) * 3 + 3) / 4) * 4;
    const uint32_t pixels = stride * static_cast<uint32_t>(picture.height);
    std::string out = "BM";
    put32(out, 54 + pixels);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(picture.width));
    put32(out, static_cast<uint32_t>(picture.height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, pixels);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        const uint8_t* row = &picture.rgb[static_cast<size_t>(y) * static_cast<size_t>(picture.width) * 3];
        std::string line(stride, '\0');
        for (int x = 0; x < picture.width; ++x) {
            line[static_cast<size_t>(x) * 3] = static_cast<char>(row[x * 3 + 2]);
            line[static_cast<size_t>(x) * 3 + 1] = static_cast<char>(row[x * 3 + 1]);
            line[static_cast<size_t>(x) * 3 + 2] = static_cast<char>(row[x * 3]);
        }
        out += line;
    }
    return out;
}

std::string encodeJpeg(const RgbPicture& picture, int quality) {
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(picture.width);
    cinfo.image_height = static_cast<JDIMENSION>(picture.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(
            &picture.rgb[static_cast<size_t>(cinfo.next_scanline) * static_cast<size_t>(picture.width) * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

} // namespace k4

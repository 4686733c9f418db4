#pragma once
// A decoded subscriber picture: the portable pixmap of netpbm (rows of
// pixels, maxval 255) that the PCX, JPEG and BMP readers all fill and the
// windows show. Every picture is decoded whole into memory, so the size of
// what may be decoded is bounded here: a file that claims more is refused
// before anything is allocated.
#include <cstddef>
#include <cstdint>

extern "C" {
#include <netpbm/ppm.h>
}

namespace k4 {

// 2048 x 2048: a scanned plan of the premises or a photograph scaled down
// while decoding. A netpbm pixel takes 12 bytes, so at most 48 MiB.
inline constexpr int64_t kMaxPicturePixels = int64_t{2048} * 2048;
// The longest side; the display scales far below it anyway.
inline constexpr int kMaxPictureSide = 16384;

class PicturePixmap {
public:
    PicturePixmap() = default;
    ~PicturePixmap() { release(); }
    PicturePixmap(PicturePixmap&& other) noexcept { *this = static_cast<PicturePixmap&&>(other); }
    PicturePixmap& operator=(PicturePixmap&& other) noexcept;
    PicturePixmap(const PicturePixmap&) = delete;
    PicturePixmap& operator=(const PicturePixmap&) = delete;

    // false when the size is outside the bounds or the memory is not there
    // (netpbm's own allocation failure is caught, never the end of the run).
    bool allocate(int cols, int rows);
    bool empty() const { return pixels_ == nullptr; }
    int cols() const { return cols_; }
    int rows() const { return rows_; }
    void set(int x, int y, unsigned r, unsigned g, unsigned b) { PPM_ASSIGN(pixels_[y][x], r, g, b); }
    const pixel& at(int x, int y) const { return pixels_[y][x]; }
    pixel* row(int y) { return pixels_[y]; }

private:
    void release();
    pixel** pixels_ = nullptr;
    int cols_ = 0, rows_ = 0;
};

} // namespace k4

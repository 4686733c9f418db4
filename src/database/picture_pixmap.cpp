#include "database/picture_pixmap.h"

#include <csetjmp>

extern "C" {
#include <netpbm/pm.h>
}

namespace k4 {

namespace {

// netpbm reports its failures through pm_error, which would end the
// program; the station catches them with a jump buffer and stays quiet.
void quietNetpbm(const char*) {}

bool fits(int cols, int rows) {
    return cols > 0 && rows > 0 && cols <= kMaxPictureSide && rows <= kMaxPictureSide &&
           int64_t{cols} * rows <= kMaxPicturePixels;
}

} // namespace

PicturePixmap& PicturePixmap::operator=(PicturePixmap&& other) noexcept {
    if (this != &other) {
        release();
        pixels_ = other.pixels_;
        cols_ = other.cols_;
        rows_ = other.rows_;
        other.pixels_ = nullptr;
        other.cols_ = other.rows_ = 0;
    }
    return *this;
}

bool PicturePixmap::allocate(int cols, int rows) {
    release();
    if (!fits(cols, rows)) return false;
    pm_setusererrormsgfn(&quietNetpbm);
    jmp_buf failed;
    jmp_buf* saved = nullptr;
    // The buffer is in place before setjmp, so nothing the jump could leave
    // indeterminate is written between the two but the volatile result.
    pm_setjmpbufsave(&failed, &saved);
    pixel** volatile pixels = nullptr;
    if (setjmp(failed) == 0) pixels = ppm_allocarray(cols, rows);
    pm_setjmpbuf(saved);
    if (!pixels) return false;
    pixels_ = pixels;
    cols_ = cols;
    rows_ = rows;
    return true;
}

void PicturePixmap::release() {
    if (pixels_) ppm_freearray(pixels_, rows_);
    pixels_ = nullptr;
    cols_ = rows_ = 0;
}

} // namespace k4

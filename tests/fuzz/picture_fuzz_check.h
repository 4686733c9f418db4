#pragma once
// A picture file of any content through the reader the description window
// shows pictures with: decoded or refused with a reason, never reading past
// the data, never allocating beyond the pixmap's bound.
#include "database/picture_decoding.h"

#include <cstdlib>

namespace k4::fuzz {

inline int decodeAndCheck(PictureKind kind, const uint8_t* data, size_t size) {
    const DecodedPicture picture = decodePicture(kind, data, size);
    if (picture.fault == PictureFault::None) {
        if (picture.pixmap.empty() || int64_t{picture.pixmap.cols()} * picture.pixmap.rows() > kMaxPicturePixels)
            std::abort();
        // Every pixel was written: reading them all must be clean.
        unsigned sum = 0;
        for (int y = 0; y < picture.pixmap.rows(); y += 7)
            for (int x = 0; x < picture.pixmap.cols(); x += 7) sum += PPM_GETR(picture.pixmap.at(x, y));
        if (sum == 0xFFFFFFFFu) std::abort();
    } else if (!picture.pixmap.empty()) {
        std::abort();
    }
    return 0;
}

} // namespace k4::fuzz

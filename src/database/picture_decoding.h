#pragma once
// Reading the picture files of "grafika" for display: PCX, JPEG (libjpeg)
// and BMP into the netpbm pixmap of PicturePixmap. Outside files are not
// trusted: a damaged, truncated or enormous file is refused with the reason,
// never decoded past its end and never allowed to take more memory than the
// pixmap's bound.
#include "database/picture_pixmap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace k4 {

class Messages;

enum class PictureKind { Unknown, Pcx, Jpeg, Bmp };
// By the extension after the last dot, in any case.
PictureKind pictureKindOf(std::string_view fileName);

enum class PictureFault {
    None,
    Unreadable,  // the file cannot be opened or read
    Damaged,     // not a picture of its kind, or cut short
    TooLarge,    // more pixels or bytes than the station decodes
    Unsupported, // a variant of the format the station does not read
};

// No picture file longer than this is read (a plan or a photograph of an
// object is far smaller; anything bigger is not what it claims).
inline constexpr int64_t kMaxPictureFile = 32 * 1024 * 1024;

struct DecodedPicture {
    PictureFault fault = PictureFault::None;
    PicturePixmap pixmap;
};

DecodedPicture decodePcx(const uint8_t* data, size_t size);
DecodedPicture decodeJpeg(const uint8_t* data, size_t size);
DecodedPicture decodeBmp(const uint8_t* data, size_t size);
DecodedPicture decodePicture(PictureKind kind, const uint8_t* data, size_t size);

// The file at path, by the kind its name gives.
DecodedPicture loadPicture(const std::string& path);

// Tells the operator why the picture is not shown (Mazovia box).
void tellPictureFault(Messages& messages, PictureFault fault, const std::string& fileName);

} // namespace k4

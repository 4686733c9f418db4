// A BMP file of any content through the description window's reader.
#include "picture_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return k4::fuzz::decodeAndCheck(k4::PictureKind::Bmp, data, size);
}

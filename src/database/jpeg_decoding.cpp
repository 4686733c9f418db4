// JPEG through libjpeg, from memory. libjpeg ends a failed decode through
// its error manager, which jumps back here instead of ending the program.
// A photograph larger than the pixmap's bound is scaled down by the decoder
// itself (1/2 .. 1/8), so a camera's picture is shown without holding it
// whole; a progressive one keeps every coefficient until its last scan, so
// its size and its number of scans are bounded too.
#include "database/picture_decoding.h"

#include <csetjmp>
#include <cstdio>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace k4 {

namespace {

// The source may be this large before any scaling: 120 million pixels.
constexpr int64_t kMaxJpegSourcePixels = 120'000'000;
// A progressive picture's coefficients are all held: 2 bytes per sample.
constexpr int64_t kMaxProgressivePixels = 32'000'000;
constexpr long kMaxJpegMemory = 320L * 1024 * 1024;
constexpr int kMaxScans = 200;

struct Failure {
    jpeg_error_mgr manager;
    jmp_buf jump;
    PictureFault fault;
};

[[noreturn]] void failed(j_common_ptr cinfo) {
    auto* f = reinterpret_cast<Failure*>(cinfo->err);
    if (cinfo->err->msg_code == JERR_OUT_OF_MEMORY || cinfo->err->msg_code == JERR_NO_BACKING_STORE)
        f->fault = PictureFault::TooLarge;
    longjmp(f->jump, 1);
}

// Warnings of damaged data are let through (the decoder fills in what is
// missing), except the end of the file before the picture's end: a cut
// file is told as such rather than shown half grey.
void warned(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) failed(cinfo);
    if (level < 0) ++cinfo->err->num_warnings;
}

void silent(j_common_ptr) {}

struct ScanLimit {
    jpeg_progress_mgr manager;
    Failure* failure;
};

void countScans(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) failed(cinfo);
}

struct JpegDecoder {
    jpeg_decompress_struct cinfo {};
    Failure failure {};
    ScanLimit progress {};
};

j_common_ptr common(JpegDecoder& d) { return reinterpret_cast<j_common_ptr>(&d.cinfo); }

// Everything the jump may come back to lives in the caller's frame (the
// decoder, the pixmap), so none of it is left indeterminate by longjmp.
bool decodeInto(JpegDecoder& d, const uint8_t* data, size_t size, DecodedPicture& out) {
    jpeg_decompress_struct& cinfo = d.cinfo;
    d.failure.fault = PictureFault::Damaged;
    cinfo.err = jpeg_std_error(&d.failure.manager);
    d.failure.manager.error_exit = failed;
    d.failure.manager.emit_message = warned;
    d.failure.manager.output_message = silent;
    d.progress.manager.progress_monitor = countScans;
    d.progress.failure = &d.failure;
    if (setjmp(d.failure.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegMemory;
    cinfo.progress = &d.progress.manager;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);

    const int64_t source = int64_t{cinfo.image_width} * cinfo.image_height;
    if (source > kMaxJpegSourcePixels || (cinfo.progressive_mode && source > kMaxProgressivePixels)) {
        d.failure.fault = PictureFault::TooLarge;
        failed(common(d));
    }
    cinfo.out_color_space = JCS_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    jpeg_calc_output_dimensions(&cinfo);
    while ((int64_t{cinfo.output_width} * cinfo.output_height > kMaxPicturePixels ||
            cinfo.output_width > static_cast<unsigned>(kMaxPictureSide) ||
            cinfo.output_height > static_cast<unsigned>(kMaxPictureSide)) &&
           cinfo.scale_denom < 8) {
        cinfo.scale_denom *= 2;
        jpeg_calc_output_dimensions(&cinfo);
    }
    if (!out.pixmap.allocate(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height))) {
        d.failure.fault = PictureFault::TooLarge;
        failed(common(d));
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) failed(common(d));
    // One scan line of samples, in the decoder's own pool (freed with it).
    JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(common(d), JPOOL_IMAGE, cinfo.output_width * 3, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, line, 1) != 1) failed(common(d));
        const JSAMPLE* s = line[0];
        for (int x = 0; x < out.pixmap.cols(); ++x, s += 3) out.pixmap.set(x, y, s[0], s[1], s[2]);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

DecodedPicture decodeJpeg(const uint8_t* data, size_t size) {
    DecodedPicture out;
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        out.fault = PictureFault::Damaged;
        return out;
    }
    JpegDecoder decoder;
    if (!decodeInto(decoder, data, size, out)) {
        out.pixmap = PicturePixmap();
        out.fault = decoder.failure.fault;
    }
    return out;
}

} // namespace k4

#include "database/picture_decoding.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace k4 {

PictureKind pictureKindOf(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return PictureKind::Unknown;
    std::string ext(fileName.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (ext == "pcx") return PictureKind::Pcx;
    if (ext == "jpg") return PictureKind::Jpeg;
    if (ext == "bmp") return PictureKind::Bmp;
    return PictureKind::Unknown;
}

DecodedPicture decodePicture(PictureKind kind, const uint8_t* data, size_t size) {
    switch (kind) {
    case PictureKind::Pcx: return decodePcx(data, size);
    case PictureKind::Jpeg: return decodeJpeg(data, size);
    case PictureKind::Bmp: return decodeBmp(data, size);
    case PictureKind::Unknown: break;
    }
    DecodedPicture out;
    out.fault = PictureFault::Unsupported;
    return out;
}

DecodedPicture loadPicture(const std::string& path) {
    DecodedPicture out;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        out.fault = PictureFault::Unreadable;
        return out;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        out.fault = PictureFault::Unreadable;
        return out;
    }
    if (st.st_size > kMaxPictureFile) {
        ::close(fd);
        out.fault = PictureFault::TooLarge;
        return out;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
    size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += static_cast<size_t>(n);
    }
    ::close(fd);
    // A file that shrank while read is decoded as far as it was had, and its
    // own structure then says it is cut short.
    bytes.resize(have);
    return decodePicture(pictureKindOf(path), bytes.data(), bytes.size());
}

void tellPictureFault(Messages& messages, PictureFault fault, const std::string& fileName) {
    const std::string name = MazoviaFromUtf8(fileName);
    switch (fault) {
    case PictureFault::None: return;
    case PictureFault::Unreadable:
        messages.ShowNotice(mz("\x03odczytu pliku grafiki ") + name, kNoticeError);
        return;
    case PictureFault::Damaged:
        messages.ShowNotice(mz("\x03Plik grafiki ") + name + mz(" jest uszkodzony lub niepełny."), kNoticeInfo);
        return;
    case PictureFault::TooLarge:
        messages.ShowNotice(mz("\x03Grafika ") + name + mz(" jest zbyt duża do pokazania."), kNoticeInfo);
        return;
    case PictureFault::Unsupported:
        messages.ShowNotice(mz("\x03Nieobsługiwany rodzaj pliku grafiki ") + name + ".", kNoticeInfo);
        return;
    }
}

} // namespace k4

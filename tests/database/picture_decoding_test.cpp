// The picture readers over small files the test writes itself: a test card
// of known colours in 8-bit and 24-bit PCX, JPEG and BMP comes back as
// those colours; files cut short, spoiled, of an unknown variant or claiming
// an enormous size are refused with the reason and allocate nothing big.
#include "database/picture_decoding.h"
#include "database/picture_writing.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace k4 {
namespace {

// Four bands of colour over a 37 x 9 picture (odd, so lines are padded).
RgbPicture testCard() {
    RgbPicture p = RgbPicture::filled(37, 9, 0, 0, 0);
    const uint8_t bands[4][3] = {{250, 10, 10}, {10, 240, 10}, {20, 20, 230}, {250, 250, 250}};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* c = bands[x * 4 / p.width];
            p.set(x, y, c[0], c[1], c[2]);
        }
    p.set(0, 0, 0xC5, 0xC5, 0xC5); // a byte that must go as a run
    return p;
}

// tolerance: the mean difference per sample allowed (0: exactly).
void expectPicture(const DecodedPicture& decoded, const RgbPicture& expected, int tolerance) {
    ASSERT_EQ(decoded.fault, PictureFault::None);
    ASSERT_EQ(decoded.pixmap.cols(), expected.width);
    ASSERT_EQ(decoded.pixmap.rows(), expected.height);
    int64_t total = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const pixel& p = decoded.pixmap.at(x, y);
            const uint8_t* e = &expected.rgb[(static_cast<size_t>(y) * expected.width + x) * 3];
            total += std::abs(static_cast<int>(PPM_GETR(p)) - e[0]) + std::abs(static_cast<int>(PPM_GETG(p)) - e[1]) +
                     std::abs(static_cast<int>(PPM_GETB(p)) - e[2]);
        }
    EXPECT_LE(total, int64_t{tolerance} * expected.width * expected.height * 3);
}

DecodedPicture decode(PictureKind kind, const std::string& bytes) {
    return decodePicture(kind, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

struct Format {
    const char* name;
    PictureKind kind;
    std::string (*encode)(const RgbPicture&);
    int tolerance; // JPEG loses a little, at the band edges most
};
const Format kFormats[] = {
    {"PCX 8-bit", PictureKind::Pcx, [](const RgbPicture& p) { return encodePcx(p, true); }, 0},
    {"PCX 24-bit", PictureKind::Pcx, [](const RgbPicture& p) { return encodePcx(p, false); }, 0},
    {"JPEG", PictureKind::Jpeg, [](const RgbPicture& p) { return encodeJpeg(p, 95); }, 12},
    {"BMP", PictureKind::Bmp, [](const RgbPicture& p) { return encodeBmp(p); }, 0},
};

TEST(PictureDecoding, EachFormatGivesBackItsColours) {
    const RgbPicture card = testCard();
    for (const Format& f : kFormats) {
        SCOPED_TRACE(f.name);
        expectPicture(decode(f.kind, f.encode(card)), card, f.tolerance);
    }
    // The corner pixel whose value looks like a run count.
    const DecodedPicture pcx = decode(PictureKind::Pcx, encodePcx(card, false));
    EXPECT_EQ(PPM_GETR(pcx.pixmap.at(0, 0)), 0xC5u);
}

TEST(PictureDecoding, CutShortOrSpoiledFilesAreRefusedAsDamaged) {
    const RgbPicture card = testCard();
    for (const Format& f : kFormats) {
        SCOPED_TRACE(f.name);
        const std::string whole = f.encode(card);
        for (size_t keep : {size_t{0}, size_t{3}, size_t{20}, whole.size() / 2}) {
            const DecodedPicture cut = decode(f.kind, whole.substr(0, keep));
            EXPECT_EQ(cut.fault, PictureFault::Damaged) << "kept " << keep;
            EXPECT_TRUE(cut.pixmap.empty());
        }
        std::string spoiled = whole;
        spoiled[0] = 'X';
        EXPECT_EQ(decode(f.kind, spoiled).fault, PictureFault::Damaged);
    }
}

TEST(PictureDecoding, EnormousSizesAreRefusedBeforeAnythingIsAllocated) {
    // Headers claiming 60000 x 60000 pixels over a few bytes of data.
    std::string pcx = encodePcx(testCard(), false);
    pcx[8] = pcx[9] = pcx[10] = pcx[11] = static_cast<char>(0xEA);
    pcx[66] = static_cast<char>(0xEA);
    pcx[67] = static_cast<char>(0xEB); // lines long enough for the width
    EXPECT_EQ(decode(PictureKind::Pcx, pcx).fault, PictureFault::TooLarge);

    std::string bmp = encodeBmp(testCard());
    for (size_t at : {18u, 22u}) {
        bmp[at] = '\x60';
        bmp[at + 1] = '\xEA';
        bmp[at + 2] = bmp[at + 3] = 0;
    }
    EXPECT_EQ(decode(PictureKind::Bmp, bmp).fault, PictureFault::TooLarge);

    // A JPEG's frame header: the height and width after the SOF0 marker.
    std::string jpeg = encodeJpeg(testCard());
    const size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    for (size_t at : {sof + 5, sof + 7}) {
        jpeg[at] = '\xEA';
        jpeg[at + 1] = '\x60';
    }
    EXPECT_EQ(decode(PictureKind::Jpeg, jpeg).fault, PictureFault::TooLarge);
}

TEST(PictureDecoding, ALargePhotographIsScaledDownWhileDecoded) {
    const RgbPicture big = RgbPicture::filled(3000, 2000, 30, 90, 200);
    const DecodedPicture decoded = decode(PictureKind::Jpeg, encodeJpeg(big, 50));
    ASSERT_EQ(decoded.fault, PictureFault::None);
    EXPECT_EQ(decoded.pixmap.cols(), 1500);
    EXPECT_EQ(decoded.pixmap.rows(), 1000);
}

TEST(PictureDecoding, VariantsTheStationDoesNotReadAreSaidToBeUnsupported) {
    std::string rle = encodeBmp(testCard());
    rle[30] = 1; // BI_RLE8
    EXPECT_EQ(decode(PictureKind::Bmp, rle).fault, PictureFault::Unsupported);
    std::string pcx = encodePcx(testCard(), false);
    pcx[65] = 2; // two planes of 8 bits
    EXPECT_EQ(decode(PictureKind::Pcx, pcx).fault, PictureFault::Unsupported);
}

TEST(PictureDecoding, FilesAreReadByTheirExtensionInAnyCase) {
    test::TempDir dir;
    dir.write("00071PLN.PCX", encodePcx(testCard(), true));
    dir.write("00072.Jpg", encodeJpeg(testCard()));
    dir.write("00073.txt", "tekst");
    EXPECT_EQ(loadPicture(dir.file("00071PLN.PCX")).fault, PictureFault::None);
    EXPECT_EQ(loadPicture(dir.file("00072.Jpg")).pixmap.cols(), 37);
    EXPECT_EQ(loadPicture(dir.file("00073.txt")).fault, PictureFault::Unsupported);
    EXPECT_EQ(loadPicture(dir.file("brak.pcx")).fault, PictureFault::Unreadable);
}

} // namespace
} // namespace k4

#include "database/ui/picture_image.h"

namespace k4 {

QImage imageOf(const PicturePixmap& pixmap) {
    if (pixmap.empty()) return {};
    QImage image(pixmap.cols(), pixmap.rows(), QImage::Format_RGB888);
    if (image.isNull()) return {};
    for (int y = 0; y < pixmap.rows(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < pixmap.cols(); ++x) {
            const pixel& p = pixmap.at(x, y);
            line[x * 3] = static_cast<uchar>(PPM_GETR(p));
            line[x * 3 + 1] = static_cast<uchar>(PPM_GETG(p));
            line[x * 3 + 2] = static_cast<uchar>(PPM_GETB(p));
        }
    }
    return image;
}

} // namespace k4

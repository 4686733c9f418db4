#pragma once
// A decoded picture as the windows draw it.
#include "database/picture_decoding.h"

#include <QImage>

namespace k4 {

QImage imageOf(const PicturePixmap& pixmap);

} // namespace k4

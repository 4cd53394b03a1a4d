// Windows bitmap files: BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bits per
// pixel, BI_RGB, rows stored bottom-up as B, G, R and padded to 4 bytes.
#pragma once

#include "image.h"

namespace vorn::art {

Bytes EncodeBmp24(const RgbImage& image);

}  // namespace vorn::art

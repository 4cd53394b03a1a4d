// PNG files (8 bits per channel, no interlace, filter 0 on every row).
#pragma once

#include "byte_writer.h"
#include "image.h"

namespace vorn::art {

Bytes encodePng(const RgbImage& image);   // colour type 2, truecolour
Bytes encodePng(const RgbaImage& image);  // colour type 6, truecolour with alpha

}  // namespace vorn::art

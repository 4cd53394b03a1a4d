// PNG files through libpng: 8 bits per channel, rows top first.
#pragma once

#include "image.h"

namespace vorn::art {

// Throw std::runtime_error with libpng's message if it cannot encode the picture.
Bytes encodePng(const RgbImage& image);   // truecolour
Bytes encodePng(const RgbaImage& image);  // truecolour with straight alpha

}  // namespace vorn::art

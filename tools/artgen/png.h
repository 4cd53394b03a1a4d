// PNG files through libpng: 8 bits per channel, rows top first.
#pragma once

#include "image.h"

namespace vorn::art {

// Throw std::runtime_error with libpng's message if it cannot encode the picture.
Bytes EncodePng(const RgbImage& image);   // truecolour
Bytes EncodePng(const RgbaImage& image);  // truecolour with straight alpha

}  // namespace vorn::art

// The program icon: a still flame (red outer tongues, orange body, near-white
// yellow core) on a transparent background.
#pragma once

#include "image.h"

#include <array>

namespace vorn::art {

// Sides of the square images in vorn.ico, smallest first.
inline constexpr std::array<int, 4> kIconSizes = {16, 32, 48, 256};

// The icon drawn at `size` x `size` pixels, antialiased, straight alpha.
RgbaImage renderIcon(int size);

}  // namespace vorn::art

// The program icon: a still flame (red outer tongues, orange body, near-white
// yellow core) on a transparent background.
#pragma once

#include <array>

#include "image.h"

namespace vorn::art {

// Sides of the square images in vorn.ico, smallest first.
inline constexpr std::array<int, 4> kIconSizes = {16, 32, 48, 256};

// The icon drawn at `size` x `size` pixels, antialiased, straight alpha.
RgbaImage RenderIcon(int size);

}  // namespace vorn::art

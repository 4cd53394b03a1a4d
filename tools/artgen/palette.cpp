// The core's fire colours as the art tool's pictures hold them.
#include "palette.h"

#include "flame.h"

namespace vorn::art {
namespace {

Rgb ToRgb(Pixel colour) {
  return Rgb{static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
             static_cast<std::uint8_t>(colour)};
}

}  // namespace

Rgb FirePalette(double heat) { return ToRgb(FireColour(heat)); }

RgbImage ToRgbImage(const Surface& surface) {
  RgbImage image(surface.Width(), surface.Height());
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) image.at(x, y) = ToRgb(surface.At(x, y));
  }
  return image;
}

}  // namespace vorn::art

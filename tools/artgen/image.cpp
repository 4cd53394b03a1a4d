#include "image.h"

namespace vorn::art {

RgbaImage ToRgba(const RgbImage& source) {
  RgbaImage result(source.width(), source.height());
  for (int y = 0; y < source.height(); ++y) {
    for (int x = 0; x < source.width(); ++x) {
      const Rgb& p = source.at(x, y);
      result.at(x, y) = Rgba{p.r, p.g, p.b, 255};
    }
  }
  return result;
}

namespace {

std::uint8_t Over(std::uint8_t top, std::uint8_t bottom, std::uint8_t alpha) {
  constexpr int kFull = 255;
  const int mixed = (top * alpha + bottom * (kFull - alpha) + kFull / 2) / kFull;
  return static_cast<std::uint8_t>(mixed);
}

}  // namespace

RgbImage Flatten(const RgbaImage& source, Rgb background) {
  RgbImage result(source.width(), source.height());
  for (int y = 0; y < source.height(); ++y) {
    for (int x = 0; x < source.width(); ++x) {
      const Rgba& p = source.at(x, y);
      result.at(x, y) = Rgb{Over(p.r, background.r, p.a), Over(p.g, background.g, p.a),
                            Over(p.b, background.b, p.a)};
    }
  }
  return result;
}

}  // namespace vorn::art

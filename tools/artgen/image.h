// Plain in-memory pictures for the art tool: row-major, top row first,
// 8 bits per channel. Encoders decide the on-disk row order themselves.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn::art {

using Bytes = std::vector<std::uint8_t>;  // the contents of a file

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Straight (not premultiplied) alpha; a = 0 is fully transparent.
struct Rgba {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  std::uint8_t a = 0;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

template <typename Pixel>
class Image {
 public:
  Image() = default;
  Image(int width, int height)
      : width_(width),
        height_(height),
        pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

  int width() const { return width_; }
  int height() const { return height_; }

  // (x, y) with y = 0 the top row; callers keep coordinates in range.
  Pixel& at(int x, int y) { return pixels_[index(x, y)]; }
  const Pixel& at(int x, int y) const { return pixels_[index(x, y)]; }

  const std::vector<Pixel>& pixels() const { return pixels_; }
  friend bool operator==(const Image&, const Image&) = default;

 private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel> pixels_;
};

using RgbImage = Image<Rgb>;
using RgbaImage = Image<Rgba>;

// Nearest-neighbour enlargement by a whole factor (for looking at small art).
template <typename Pixel>
Image<Pixel> Enlarge(const Image<Pixel>& source, int factor) {
  Image<Pixel> result(source.width() * factor, source.height() * factor);
  for (int y = 0; y < result.height(); ++y) {
    for (int x = 0; x < result.width(); ++x) {
      result.at(x, y) = source.at(x / factor, y / factor);
    }
  }
  return result;
}

// Opaque copy of an RGB picture, for encoders that take RGBA.
RgbaImage ToRgba(const RgbImage& source);

// Composites an RGBA picture over a flat colour (for previews of the icon).
RgbImage Flatten(const RgbaImage& source, Rgb background);

}  // namespace vorn::art

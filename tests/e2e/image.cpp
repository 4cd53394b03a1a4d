// RGB images of the screen, saved as PNG by the art tool's writer.
#include "harness.h"

#include <cstdlib>

#include "png.h"

namespace vorn::e2e {
namespace {

constexpr int kBytesPerPixel = 3;

std::string HexByte(std::uint8_t value) {
  constexpr char kDigits[] = "0123456789abcdef";
  return {kDigits[value >> 4], kDigits[value & 0xF]};
}

}  // namespace

std::string Describe(const Rgb& colour) {
  return "#" + HexByte(colour.r) + HexByte(colour.g) + HexByte(colour.b);
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

std::string Describe(const Rect& rect) {
  return std::to_string(rect.width) + "x" + std::to_string(rect.height) + "+" +
         std::to_string(rect.x) + "+" + std::to_string(rect.y);
}

RgbImage::RgbImage(int width, int height)
    : width_(width), height_(height),
      rgb_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kBytesPerPixel) {}

Rgb RgbImage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    throw E2eError("pixel (" + std::to_string(x) + "," + std::to_string(y) + ") outside a " +
                   std::to_string(width_) + "x" + std::to_string(height_) + " image");
  }
  const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * kBytesPerPixel;
  return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

void RgbImage::Set(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * kBytesPerPixel;
  rgb_[i] = colour.r;
  rgb_[i + 1] = colour.g;
  rgb_[i + 2] = colour.b;
}

std::size_t RgbImage::CountNear(Rgb colour, int tolerance) const {
  std::size_t count = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) count += Near(At(x, y), colour, tolerance) ? 1 : 0;
  }
  return count;
}

RgbImage RgbImage::Crop(const Rect& rect) const {
  RgbImage part(rect.width, rect.height);
  for (int y = 0; y < rect.height; ++y) {
    for (int x = 0; x < rect.width; ++x) part.Set(x, y, At(rect.x + x, rect.y + y));
  }
  return part;
}

std::string RgbImage::EncodePng() const {
  art::RgbImage picture(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const Rgb colour = At(x, y);
      picture.at(x, y) = {colour.r, colour.g, colour.b};
    }
  }
  const art::Bytes png = art::EncodePng(picture);
  return {png.begin(), png.end()};
}

void RgbImage::WritePng(const fs::path& file) const {
  if (file.has_parent_path()) fs::create_directories(file.parent_path());
  WriteFileBytes(file, EncodePng());
}

}  // namespace vorn::e2e

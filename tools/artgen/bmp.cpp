#include "bmp.h"

namespace vorn::art {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBytesPerPixel = 3;
constexpr std::uint32_t kBitsPerPixel = 24;
constexpr std::uint32_t kRowAlignment = 4;
constexpr std::uint32_t kCompressionNone = 0;  // BI_RGB
// 72 dots per inch expressed in pixels per metre, the usual default.
constexpr std::uint32_t kPixelsPerMetre = 2835;

// Appends `value` as `size` little-endian bytes.
void Put(Bytes& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

Bytes EncodeBmp24(const RgbImage& image) {
  const auto width = static_cast<std::uint32_t>(image.width());
  const std::uint32_t stride =
      (width * kBytesPerPixel + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
  const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(image.height());
  const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;

  Bytes out{'B', 'M'};
  Put(out, pixelOffset + pixelBytes, 4);  // whole file size
  Put(out, 0, 4);                         // two reserved words
  Put(out, pixelOffset, 4);
  Put(out, kInfoHeaderSize, 4);
  Put(out, width, 4);
  Put(out, static_cast<std::uint32_t>(image.height()), 4);  // positive: bottom-up rows
  Put(out, 1, 2);                                           // planes
  Put(out, kBitsPerPixel, 2);
  Put(out, kCompressionNone, 4);
  Put(out, pixelBytes, 4);
  Put(out, kPixelsPerMetre, 4);
  Put(out, kPixelsPerMetre, 4);
  Put(out, 0, 4);  // palette colours used
  Put(out, 0, 4);  // palette colours important
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const Rgb& p = image.at(x, y);
      out.insert(out.end(), {p.b, p.g, p.r});
    }
    out.resize(out.size() + stride - width * kBytesPerPixel);  // zero padding
  }
  return out;
}

}  // namespace vorn::art

#include "core/packed_picture.h"

#include <stdexcept>

namespace vorn {

namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr std::size_t kPixelBytes = 3;
constexpr std::int32_t kLargestSide = 0xFFFF;
constexpr std::int64_t kFirstRunCode = 128;  // codes below give literal pixels
constexpr std::int64_t kRunBias = 126;       // a run's code minus its length
constexpr std::int64_t kLongestLiteral = kFirstRunCode;
constexpr std::int64_t kLongestRun = 255 - kRunBias;

// Appends `pixel` as red, green, blue.
void PutPixel(std::vector<std::uint8_t>& out, Pixel pixel) {
  out.push_back(static_cast<std::uint8_t>(pixel >> 16));
  out.push_back(static_cast<std::uint8_t>(pixel >> 8));
  out.push_back(static_cast<std::uint8_t>(pixel));
}

Pixel PixelAt(const std::uint8_t* bytes) {
  return Pixel{bytes[0]} << 16 | Pixel{bytes[1]} << 8 | bytes[2];
}

}  // namespace

std::vector<std::uint8_t> PackPicture(const ConstPixelView& picture) {
  if (picture.width > kLargestSide || picture.height > kLargestSide) {
    throw std::length_error("a packed picture's side is at most 65535 pixels");
  }
  std::vector<Pixel> pixels;
  for (std::int32_t y = 0; y < picture.height; ++y) {
    pixels.insert(pixels.end(), picture.Row(y), picture.Row(y) + picture.width);
  }
  std::vector<std::uint8_t> out;
  for (const std::int32_t side : {picture.width, picture.height}) {
    out.push_back(static_cast<std::uint8_t>(side));
    out.push_back(static_cast<std::uint8_t>(side >> 8));
  }
  const auto count = static_cast<std::int64_t>(pixels.size());
  const auto same = [&](std::int64_t i, std::int64_t j) {
    return j < count && pixels[j] == pixels[i];
  };
  for (std::int64_t at = 0; at < count;) {
    std::int64_t length = 1;
    if (same(at, at + 1)) {  // a run: as long as the pixel repeats
      while (length < kLongestRun && same(at, at + length)) ++length;
      out.push_back(static_cast<std::uint8_t>(length + kRunBias));
      PutPixel(out, pixels[at]);
    } else {  // literal pixels: up to the end or the next run
      const auto runStarts = [&](std::int64_t i) { return i >= count || same(i, i + 1); };
      while (length < kLongestLiteral && !runStarts(at + length)) ++length;
      out.push_back(static_cast<std::uint8_t>(length - 1));
      for (std::int64_t i = at; i < at + length; ++i) PutPixel(out, pixels[i]);
    }
    at += length;
  }
  return out;
}

std::optional<PictureSize> PackedPictureSize(std::span<const std::uint8_t> packed) {
  if (packed.size() < kHeaderBytes) return std::nullopt;
  return PictureSize{packed[0] | packed[1] << 8, packed[2] | packed[3] << 8};
}

bool UnpackPicture(std::span<const std::uint8_t> packed, const PixelView& out) {
  const auto size = PackedPictureSize(packed);
  if (!size || size->width != out.width || size->height != out.height) return false;
  const std::int64_t total = std::int64_t{out.width} * out.height;
  std::int64_t done = 0;
  for (std::size_t at = kHeaderBytes; at < packed.size();) {
    const std::int64_t code = packed[at++];
    const bool run = code >= kFirstRunCode;
    const std::int64_t length = run ? code - kRunBias : code + 1;
    const auto bytes = static_cast<std::size_t>(run ? 1 : length) * kPixelBytes;
    if (packed.size() - at < bytes || total - done < length) return false;
    for (std::int64_t i = 0; i < length; ++i, ++done) {
      const std::size_t from = at + (run ? 0 : static_cast<std::size_t>(i) * kPixelBytes);
      out.Row(static_cast<std::int32_t>(done / out.width))[done % out.width] =
          PixelAt(&packed[from]);
    }
    at += bytes;
  }
  return done == total;
}

}  // namespace vorn

// A software raster: surfaces of 0x00RRGGBB pixels with fill and clipped blits,
// the same operations the saver asks of the screen. Used by the tests, the art
// tool and the benchmarks.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

using Pixel = std::uint32_t;  // 0x00RRGGBB

inline constexpr std::uint32_t kRopSrcCopy = 0x00CC0020;   // destination = source
inline constexpr std::uint32_t kRopSrcPaint = 0x00EE0086;  // destination |= source

class Surface {
 public:
  Surface() = default;
  Surface(std::int32_t width, std::int32_t height, Pixel fill = 0);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  Pixel At(std::int32_t x, std::int32_t y) const { return pixels_[Index(x, y)]; }
  void Set(std::int32_t x, std::int32_t y, Pixel p) { pixels_[Index(x, y)] = p; }
  const std::vector<Pixel>& Pixels() const { return pixels_; }

  // Fills the rectangle from (left, top) to (right, bottom), both corners
  // included, clipped to the surface.
  void FillInclusive(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     Pixel colour);

 private:
  std::size_t Index(std::int32_t x, std::int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<Pixel> pixels_;
};

// Combines the w x h rectangle of `src` at (sx, sy) into `dst` at (x, y) with
// SRCCOPY or SRCPAINT, clipped to both surfaces. Other operations do nothing
// and return false.
bool Blit(Surface& dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
          const Surface& src, std::int32_t sx, std::int32_t sy, std::uint32_t rop);

}  // namespace vorn

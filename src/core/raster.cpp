#include "core/raster.h"

#include <algorithm>

namespace vorn {

Surface::Surface(std::int32_t width, std::int32_t height, Pixel fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

void Surface::FillInclusive(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom, Pixel colour) {
  const std::int32_t x0 = std::max(left, 0);
  const std::int32_t y0 = std::max(top, 0);
  const std::int32_t x1 = std::min(right, width_ - 1);
  const std::int32_t y1 = std::min(bottom, height_ - 1);
  for (std::int32_t y = y0; y <= y1; ++y) {
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(Index(x0, y)), x1 - x0 + 1, colour);
  }
}

bool Blit(Surface& dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
          const Surface& src, std::int32_t sx, std::int32_t sy, std::uint32_t rop) {
  if (rop != kRopSrcCopy && rop != kRopSrcPaint) return false;
  // Clip the left and top edges of both rectangles, moving the other along.
  const std::int64_t shiftX = std::max<std::int64_t>({0, -std::int64_t{x}, -std::int64_t{sx}});
  const std::int64_t shiftY = std::max<std::int64_t>({0, -std::int64_t{y}, -std::int64_t{sy}});
  const std::int64_t dx = x + shiftX, dy = y + shiftY;
  const std::int64_t fx = sx + shiftX, fy = sy + shiftY;
  const std::int64_t cw = std::min<std::int64_t>(
      {w - shiftX, dst.Width() - dx, src.Width() - fx});
  const std::int64_t ch = std::min<std::int64_t>(
      {h - shiftY, dst.Height() - dy, src.Height() - fy});
  if (cw <= 0 || ch <= 0) return true;
  for (std::int64_t row = 0; row < ch; ++row) {
    const auto ty = static_cast<std::int32_t>(dy + row);
    const auto ry = static_cast<std::int32_t>(fy + row);
    for (std::int64_t col = 0; col < cw; ++col) {
      const auto tx = static_cast<std::int32_t>(dx + col);
      const Pixel source = src.At(static_cast<std::int32_t>(fx + col), ry);
      dst.Set(tx, ty, rop == kRopSrcPaint ? (dst.At(tx, ty) | source) : source);
    }
  }
  return true;
}

}  // namespace vorn

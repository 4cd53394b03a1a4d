#include "core/raster.h"

#include <algorithm>

namespace vorn {
namespace {

// A blit asks for the destination row this many rows ahead while it combines
// the current one: the cells of a swarm lie scattered over a frame larger than
// the cache, so each row would otherwise wait for memory.
constexpr std::int32_t kPrefetchRows = 2;

// The part of a blit that lies inside both surfaces, into `out`: false when
// there is none. Clips the left and top edges of both rectangles, moving the
// other along, then the right and bottom edges. Computed wide, so no argument
// overflows.
bool ClipBlit(const PixelView& dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
              const ConstPixelView& src, std::int32_t sx, std::int32_t sy, BlitArea& out) {
  const std::int64_t shiftX = std::max<std::int64_t>({0, -std::int64_t{x}, -std::int64_t{sx}});
  const std::int64_t shiftY = std::max<std::int64_t>({0, -std::int64_t{y}, -std::int64_t{sy}});
  const std::int64_t dx = x + shiftX, dy = y + shiftY;
  const std::int64_t fx = sx + shiftX, fy = sy + shiftY;
  const std::int64_t cw = std::min<std::int64_t>({w - shiftX, dst.width - dx, src.width - fx});
  const std::int64_t ch = std::min<std::int64_t>({h - shiftY, dst.height - dy, src.height - fy});
  if (cw <= 0 || ch <= 0) return false;
  out = {static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy),
         static_cast<std::int32_t>(cw), static_cast<std::int32_t>(ch),
         static_cast<std::int32_t>(fx), static_cast<std::int32_t>(fy)};
  return true;
}

// True when the two views share any memory (a surface blitted onto itself).
bool Overlap(const PixelView& dst, const ConstPixelView& src) {
  const auto end = [](const Pixel* start, std::ptrdiff_t stride, std::int32_t rows) {
    return start + stride * rows;
  };
  const Pixel* dstStart = dst.pixels;
  return dstStart < end(src.pixels, src.stride, src.height) &&
         src.pixels < end(dstStart, dst.stride, dst.height);
}

// One row between memory that does not overlap.
void CombineRow(Pixel* __restrict to, const Pixel* __restrict from, std::size_t count, bool paint) {
  if (paint) return OrRow(to, from, count);
  std::copy_n(from, count, to);
}

// One row within overlapping memory, pixel by pixel in reading order.
void CombineRowInPlace(Pixel* to, const Pixel* from, std::size_t count, bool paint) {
  for (std::size_t i = 0; i < count; ++i) to[i] = paint ? (to[i] | from[i]) : from[i];
}

}  // namespace

Surface::Surface(std::int32_t width, std::int32_t height, Pixel fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

void Surface::FillInclusive(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom, Pixel colour) {
  vorn::FillInclusive(View(), left, top, right, bottom, colour);
}

void FillInclusive(const PixelView& pixels, std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom, Pixel colour) {
  const std::int32_t x0 = std::max(left, 0);
  const std::int32_t y0 = std::max(top, 0);
  const std::int32_t x1 = std::min(right, pixels.width - 1);
  const std::int32_t y1 = std::min(bottom, pixels.height - 1);
  if (x0 > x1 || y0 > y1) return;
  const auto width = static_cast<std::size_t>(x1 - x0) + 1;
  const auto rows = static_cast<std::size_t>(y1 - y0) + 1;
  // Whole rows that lie end to end: one run.
  if (x1 - x0 + 1 == pixels.stride) return FillRow(pixels.Row(y0), width * rows, colour);
  for (std::int32_t y = y0; y <= y1; ++y) FillRow(pixels.Row(y) + x0, width, colour);
}

bool Blit(const PixelView& dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
          const ConstPixelView& src, std::int32_t sx, std::int32_t sy, std::uint32_t rop) {
  if (rop != kRopSrcCopy && rop != kRopSrcPaint) return false;
  BlitArea area;
  if (!ClipBlit(dst, x, y, w, h, src, sx, sy, area)) return true;
  const bool paint = rop == kRopSrcPaint;
  const bool overlap = Overlap(dst, src);
  auto count = static_cast<std::size_t>(area.w);
  std::int32_t rows = area.h;
  // Whole rows that lie end to end in both: one run, in the same order as row
  // by row.
  if (area.w == dst.stride && area.w == src.stride) {
    count *= static_cast<std::size_t>(rows);
    rows = 1;
  }
  for (std::int32_t row = 0; row < rows; ++row) {
    Pixel* to = dst.Row(area.y + row) + area.x;
    const Pixel* from = src.Row(area.sy + row) + area.sx;
    if (row + kPrefetchRows < rows) {
      const Pixel* ahead = dst.Row(area.y + row + kPrefetchRows) + area.x;
      __builtin_prefetch(ahead, 1);
      __builtin_prefetch(ahead + count - 1, 1);
    }
    if (overlap)
      CombineRowInPlace(to, from, count, paint);
    else
      CombineRow(to, from, count, paint);
  }
  return true;
}

bool Blit(Surface& dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
          const Surface& src, std::int32_t sx, std::int32_t sy, std::uint32_t rop) {
  return Blit(dst.View(), x, y, w, h, src.View(), sx, sy, rop);
}

}  // namespace vorn

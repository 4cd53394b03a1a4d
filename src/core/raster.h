// A software raster: surfaces of 0x00RRGGBB pixels with fill and clipped blits,
// the same operations the saver asks of the screen. Used by the tests, the art
// tool and the benchmarks, and by the Win32 adapter to draw into the memory of
// its own 32-bit DIB sections.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vorn {

using Pixel = std::uint32_t;  // 0x00RRGGBB

inline constexpr std::uint32_t kRopSrcCopy = 0x00CC0020;   // destination = source
inline constexpr std::uint32_t kRopSrcPaint = 0x00EE0086;  // destination |= source

// Pixels kept by some owner (a Surface, a DIB section): `height` rows of
// `width` pixels, each row starting `stride` pixels after the one before.
struct PixelView {
  Pixel* pixels = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::ptrdiff_t stride = 0;
  Pixel* Row(std::int32_t y) const { return pixels + y * stride; }
};

// The same, read only.
struct ConstPixelView {
  const Pixel* pixels = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::ptrdiff_t stride = 0;
  ConstPixelView() = default;
  ConstPixelView(const Pixel* p, std::int32_t w, std::int32_t h, std::ptrdiff_t s)
      : pixels(p), width(w), height(h), stride(s) {}
  // Any view can be read: the conversion is implicit on purpose.
  // cppcheck-suppress noExplicitConstructor ; a writable view is also a readable one
  ConstPixelView(const PixelView& view)
      : ConstPixelView(view.pixels, view.width, view.height, view.stride) {}
  const Pixel* Row(std::int32_t y) const { return pixels + y * stride; }
};

class Surface {
 public:
  Surface() = default;
  Surface(std::int32_t width, std::int32_t height, Pixel fill = 0);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  Pixel At(std::int32_t x, std::int32_t y) const { return pixels_[Index(x, y)]; }
  void Set(std::int32_t x, std::int32_t y, Pixel p) { pixels_[Index(x, y)] = p; }
  const std::vector<Pixel>& Pixels() const { return pixels_; }
  PixelView View() { return {pixels_.data(), width_, height_, width_}; }
  ConstPixelView View() const { return {pixels_.data(), width_, height_, width_}; }

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

// `count` pixels from `to` on made `colour`; ORed with those from `from` on.
// Vector instructions (SSE2, the baseline of every build) take four at a time;
// inline, because the rows of a flame are short and many.
inline constexpr std::size_t kSseGroup = 4;
inline void FillRow(Pixel* to, std::size_t count, Pixel colour) {
  constexpr std::size_t kShortRun = 256;  // longer runs of a byte repeated go through memset
  const auto byte = static_cast<unsigned char>(colour);
  if (count >= kShortRun && colour == byte * Pixel{0x01010101}) {
    std::memset(to, byte, count * sizeof(Pixel));
    return;
  }
  // Hidden from the optimiser, which would otherwise turn a short fill with
  // black into a call of memset or a `rep stos`, each slower than the stores
  // for the few pixels of a flame's row.
  __asm__("" : "+r"(colour));
  std::size_t i = 0;
#ifdef __SSE2__
  const __m128i four = _mm_set1_epi32(static_cast<int>(colour));
  for (; i + kSseGroup <= count; i += kSseGroup) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), four);
  }
#endif
  for (; i < count; ++i) to[i] = colour;
}
inline void OrRow(Pixel* __restrict to, const Pixel* __restrict from, std::size_t count) {
  std::size_t i = 0;
#ifdef __SSE2__
  for (; i + kSseGroup <= count; i += kSseGroup) {
    auto* at = reinterpret_cast<__m128i*>(to + i);
    const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    _mm_storeu_si128(at, _mm_or_si128(_mm_loadu_si128(at), source));
  }
#endif
  for (; i < count; ++i) to[i] |= from[i];
}

// Fills the rectangle from (left, top) to (right, bottom), both corners
// included, clipped to the pixels.
void FillInclusive(const PixelView& pixels, std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom, Pixel colour);

// Combines the w x h rectangle of `src` at (sx, sy) into `dst` at (x, y) with
// SRCCOPY or SRCPAINT, clipped to both surfaces. Other operations do nothing
// and return false. Within one surface (or overlapping memory) the pixels are
// combined one by one in reading order.
bool Blit(const PixelView& dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
          const ConstPixelView& src, std::int32_t sx, std::int32_t sy, std::uint32_t rop);
bool Blit(Surface& dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
          const Surface& src, std::int32_t sx, std::int32_t sy, std::uint32_t rop);

// A rectangle by its corner and size.
struct Rect {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
};

// A blit's placement: the w x h rectangle of the source at (sx, sy) goes onto
// the destination at (x, y).
struct BlitArea {
  std::int32_t x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0;
};

}  // namespace vorn

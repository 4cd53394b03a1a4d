// RAII for the GDI objects the program holds: a memory device context with a
// bitmap selected into it, restored and freed in the right order.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/raster.h"

namespace vorn::win32 {

class MemorySurface {
 public:
  MemorySurface() = default;
  MemorySurface(const MemorySurface&) = delete;
  MemorySurface& operator=(const MemorySurface&) = delete;
  ~MemorySurface() { Reset(); }

  // A top-down 32-bit DIB section of the given size, black.
  bool CreateDib(std::int32_t width, std::int32_t height);
  // A bitmap resource, loaded as a DIB section.
  bool LoadBitmapResource(HINSTANCE instance, int resourceId);
  // A bitmap resource copied into a top-down 32-bit DIB section, the format of
  // the surfaces it is drawn on, so that blits from it convert nothing.
  bool LoadBitmapResource32(HINSTANCE instance, int resourceId);
  HDC Dc() const { return dc_; }
  // The pixels of a surface made by CreateDib or LoadBitmapResource32, for
  // drawing into them directly (after GdiFlush); empty for other surfaces.
  PixelView Pixels() const {
    if (bits_ == nullptr) return {};
    return {bits_, width_, height_, width_};
  }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  void Reset();

 private:
  bool Adopt(HBITMAP bitmap, std::int32_t width, std::int32_t height);
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  Pixel* bits_ = nullptr;  // the DIB section's memory, top-down 0x00RRGGBB
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

}  // namespace vorn::win32

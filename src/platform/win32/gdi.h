// RAII for the GDI objects the program holds: a memory device context with a
// bitmap selected into it, restored and freed in the right order; device
// contexts and selections held for one scope; fonts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>

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

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// A GDI object selected into a device context for one scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's device context (the screen's for no window), released with the scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint to EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(window_, &paint_); }
  HDC Get() const { return dc_; }
  const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace vorn::win32

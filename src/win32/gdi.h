// RAII for the GDI objects the program holds: memory device contexts with a
// bitmap selected into them, device contexts and selections held for one
// scope, fonts; each restored and freed in the right order, none copied.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>

#include "core/packed_picture.h"
#include "core/raster.h"
#include "win32/system_library.h"

namespace vorn::win32 {

// The bytes of a packed picture resource (RCDATA, as core/packed_picture.h
// packs it); empty where the program has none of that id.
inline std::span<const std::uint8_t> PackedPictureResource(HINSTANCE instance, int resourceId) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  return {static_cast<const std::uint8_t*>(bytes),
          bytes != nullptr ? SizeofResource(instance, found) : 0};
}

class MemorySurface : NoCopy {
 public:
  ~MemorySurface() { Reset(); }
  // A top-down 32-bit DIB section of the given size, black.
  bool CreateDib(std::int32_t width, std::int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    return Adopt(bitmap, width, height, static_cast<Pixel*>(bits));
  }
  // A top-down 32-bit DIB section holding `pixels`, `width` of them a row;
  // none (false) when they are not a whole picture of that size.
  bool CreateDib(std::int32_t width, std::int32_t height, std::span<const Pixel> pixels) {
    const bool whole =
        width > 0 && height > 0 && pixels.size() == std::size_t(width) * std::size_t(height);
    if (!whole || !CreateDib(width, height)) return false;
    std::copy(pixels.begin(), pixels.end(), Pixels().pixels);
    return true;
  }
  // A picture resource (RCDATA, packed as core/packed_picture.h says) in a
  // top-down 32-bit DIB section, the format of the surfaces it is drawn on, so
  // that blits from it convert nothing.
  bool LoadBitmapResource32(HINSTANCE instance, int resourceId) {
    const std::span packed = PackedPictureResource(instance, resourceId);
    const auto size = PackedPictureSize(packed);  // none for a missing resource
    if (!size || !CreateDib(size->width, size->height) || !UnpackPicture(packed, Pixels())) {
      Reset();
      return false;
    }
    return true;
  }
  HDC Dc() const { return parts_.dc; }
  // The pixels of the surface, for drawing into them directly (after GdiFlush).
  PixelView Pixels() const {
    return parts_.bits ? PixelView{parts_.bits, parts_.width, parts_.height, parts_.width}
                       : PixelView{};
  }
  std::int32_t Width() const { return parts_.width; }
  std::int32_t Height() const { return parts_.height; }
  void Reset() {
    if (parts_.dc != nullptr) {
      SelectObject(parts_.dc, parts_.previous);
      DeleteDC(parts_.dc);
    }
    if (parts_.bitmap != nullptr) DeleteObject(parts_.bitmap);
    parts_ = {};
  }

 private:
  bool Adopt(HBITMAP bitmap, std::int32_t width, std::int32_t height, Pixel* bits = nullptr) {
    Reset();
    HDC dc = bitmap != nullptr ? CreateCompatibleDC(nullptr) : nullptr;
    if (dc == nullptr) {
      if (bitmap != nullptr) DeleteObject(bitmap);
      return false;
    }
    parts_ = {dc, bitmap, SelectObject(dc, bitmap), bits, width, height};
    return true;
  }

  struct Parts {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    Pixel* bits = nullptr;  // the DIB section's memory, top-down 0x00RRGGBB
    std::int32_t width = 0, height = 0;
  } parts_;
};

// A font, deleted with its owner: FontHandle font{CreateFontW(...), &DeleteObject}.
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, decltype(&DeleteObject)>;

// A GDI object selected into a device context for one scope.
class Selection : NoCopy {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's device context (the screen's for no window), released with the scope.
class WindowDc : NoCopy {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint to EndPaint.
class PaintDc : NoCopy {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintDc() { EndPaint(window_, &paint_); }
  HDC Get() const { return dc_; }
  const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace vorn::win32

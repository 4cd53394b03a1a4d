#include "platform/win32/gdi.h"

namespace vorn::win32 {

bool MemorySurface::CreateDib(std::int32_t width, std::int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!Adopt(bitmap, width, height)) return false;
  bits_ = static_cast<Pixel*>(bits);
  return true;
}

bool MemorySurface::LoadBitmapResource(HINSTANCE instance, int resourceId) {
  auto* bitmap = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return false;
  }
  return Adopt(bitmap, info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
}

bool MemorySurface::LoadBitmapResource32(HINSTANCE instance, int resourceId) {
  MemorySurface loaded;
  if (!loaded.LoadBitmapResource(instance, resourceId) ||
      !CreateDib(loaded.Width(), loaded.Height())) {
    Reset();
    return false;
  }
  return ::BitBlt(dc_, 0, 0, width_, height_, loaded.Dc(), 0, 0, SRCCOPY) != FALSE;
}

bool MemorySurface::Adopt(HBITMAP bitmap, std::int32_t width, std::int32_t height) {
  Reset();
  if (bitmap == nullptr) return false;
  dc_ = CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) {
    DeleteObject(bitmap);
    return false;
  }
  bitmap_ = bitmap;
  previous_ = SelectObject(dc_, bitmap_);
  width_ = width;
  height_ = height;
  return true;
}

void MemorySurface::Reset() {
  if (dc_ != nullptr) {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  previous_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

}  // namespace vorn::win32

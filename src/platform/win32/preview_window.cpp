// The preview-mode window: a borderless black window that shows the still
// (a miniature of the running saver) at its own size from the top-left corner
// of the image control. It takes no input; it lives as long as its window,
// which goes with the preview area that holds it.
#include <algorithm>

#include "platform/win32/win32_platform.h"
#include "resources/resource_ids.h"

namespace vorn::win32 {
namespace {

constexpr wchar_t kPreviewClass[] = L"VornPreviewWindow";
constexpr wchar_t kPreviewCaption[] = L"Preview Window";

}  // namespace

LRESULT CALLBACK Win32Platform::PreviewProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  const auto* self = Attached<Win32Platform>(window, message, lParam);
  if (message == WM_PAINT && self != nullptr) {
    // The class brush has painted the window black; the still goes on top,
    // unscaled, clipped to the image control (and by the system to the window).
    PaintDc paint(window);
    const MemorySurface& still = self->previewStill_;
    const RECT& image = self->previewImage_;
    const LONG width = std::min<LONG>(still.Width(), image.right - image.left);
    const LONG height = std::min<LONG>(still.Height(), image.bottom - image.top);
    if (paint.Get() != nullptr && still.Dc() != nullptr && width > 0 && height > 0) {
      ::BitBlt(paint.Get(), image.left, image.top, width, height, still.Dc(), 0, 0, SRCCOPY);
    }
    return 0;
  }
  if (message != WM_DESTROY) return DefWindowProcW(window, message, wParam, lParam);
  // The preview area that holds this window is gone (or is going): the
  // message loop ends and the process with it.
  PostQuitMessage(0);
  return 0;
}

WindowHandle Win32Platform::CreatePreviewWindow() {
  RegisterWindowClass(instance_, kPreviewClass, &Win32Platform::PreviewProc, 0, nullptr,
                      static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // Without the still the window stays plain black.
  previewStill_.LoadBitmapResource(instance_, IDB_PREVIEW_STILL);
  previewWindow_ = CreateWindowExW(0, kPreviewClass, kPreviewCaption, WS_POPUP, 0, 0, 0, 0, nullptr,
                                   nullptr, instance_, this);
  return FromHwnd(previewWindow_);
}

void Win32Platform::MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height) {
  previewImage_ = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  if (previewWindow_ != nullptr) InvalidateRect(previewWindow_, nullptr, TRUE);
}

}  // namespace vorn::win32

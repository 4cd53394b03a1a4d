#include "preview_window/preview.h"

namespace vorn {

void ShowVornR(Platform& platform, WindowHandle parent) {
  PixelRect area;
  if (platform.GetWindowRect(parent, area) == 0) return platform.EndProcess();
  const std::int32_t width = area.right - area.left;
  const std::int32_t height = area.bottom - area.top;

  const WindowHandle window = platform.CreatePreviewWindow();
  const std::int32_t style = platform.GetWindowLongA(window, kGwlStyle);
  platform.SetWindowLongA(window, kGwlStyle, style | kWsChild);
  platform.SetParent(window, parent);
  platform.MoveWindow(window, 0, 0, width, height);
  platform.MovePreviewImage(0, 0, width, height);
  platform.ShowPreviewWindow(window);
}

}  // namespace vorn

#include "settings_dialog/zoom.h"

namespace vorn {
namespace {

PixelRect OriginRect(PixelPoint origin) { return {origin.x, origin.y, origin.x, origin.y}; }

}  // namespace

void ZoomOpen(Platform& platform, PixelPoint origin, WindowHandle window) {
  const PixelRect from = OriginRect(origin);
  PixelRect to;
  platform.GetWindowRect(window, to);
  platform.DrawAnimatedRects(window, kIdaniCaption, from, to);
}

void ZoomClose(Platform& platform, PixelPoint origin, WindowHandle window) {
  PixelRect from;
  platform.GetWindowRect(window, from);
  const PixelRect to = OriginRect(origin);
  platform.DrawAnimatedRects(window, kIdaniCaption, from, to);
}

}  // namespace vorn

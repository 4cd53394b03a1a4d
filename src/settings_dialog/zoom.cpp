#include "settings_dialog/zoom.h"

namespace vorn {
namespace {

PixelRect OriginRect(const VornB& shared) {
  return {shared.ZoomOriginX, shared.ZoomOriginY, shared.ZoomOriginX, shared.ZoomOriginY};
}

}  // namespace

void ZoomOpen(Platform& platform, const VornB& shared, WindowHandle window) {
  const PixelRect from = OriginRect(shared);
  PixelRect to;
  platform.GetWindowRect(window, to);
  platform.DrawAnimatedRects(window, kIdaniCaption, from, to);
}

void ZoomClose(Platform& platform, const VornB& shared, WindowHandle window) {
  PixelRect from;
  platform.GetWindowRect(window, from);
  const PixelRect to = OriginRect(shared);
  platform.DrawAnimatedRects(window, kIdaniCaption, from, to);
}

}  // namespace vorn

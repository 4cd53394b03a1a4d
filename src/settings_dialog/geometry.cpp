#include "settings_dialog/geometry.h"

#include <algorithm>
#include <cmath>

namespace vorn {
namespace {

bool IsEmpty(const PixelRect& rect) { return Width(rect) <= 0 || Height(rect) <= 0; }

}  // namespace

std::int32_t TwipsToPixels(double twips, std::int32_t dpi) {
  return static_cast<std::int32_t>(std::lround(twips / (kTwipsPerInch / dpi)));
}

float PixelsToTwips(std::int32_t pixels, std::int32_t dpi) {
  return static_cast<float>(pixels * (kTwipsPerInch / dpi));
}

TwipsRect ToTwips(const PixelRect& rect, std::int32_t dpi) {
  return {PixelsToTwips(rect.left, dpi), PixelsToTwips(rect.top, dpi),
          PixelsToTwips(Width(rect), dpi), PixelsToTwips(Height(rect), dpi)};
}

PixelRect Placed(const PixelRect& now, const TwipsPlacement& place, std::int32_t dpi) {
  const auto pixels = [dpi](std::optional<float> twips, std::int32_t keep) {
    return twips ? TwipsToPixels(*twips, dpi) : keep;
  };
  const std::int32_t left = pixels(place.left, now.left), top = pixels(place.top, now.top);
  return {left, top, left + pixels(place.width, Width(now)),
          top + pixels(place.height, Height(now))};
}

PixelRect ControlRect(DialogControl control, std::int32_t dpi) {
  const ControlLayout& layout = LayoutOf(control);
  std::int32_t x = TwipsToPixels(layout.left, dpi);
  std::int32_t y = TwipsToPixels(layout.top, dpi);
  if (layout.parent) {
    x += TwipsToPixels(LayoutOf(*layout.parent).left, dpi);
    y += TwipsToPixels(LayoutOf(*layout.parent).top, dpi);
  }
  return {x, y, x + TwipsToPixels(layout.width, dpi), y + TwipsToPixels(layout.height, dpi)};
}

PixelRect TextBox(ControlKind kind, const PixelRect& box, ScreenSize text) {
  std::int32_t left = box.left;
  if (kind == ControlKind::LabelRight) left = box.right - text.width;
  if (kind == ControlKind::LabelCentred) left = box.left + (Width(box) - text.width) / 2;
  return {left, box.top, left + text.width, box.top + text.height};
}

bool Contains(const PixelRect& rect, PixelPoint point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

PixelRect Union(const PixelRect& a, const PixelRect& b) {
  if (IsEmpty(a)) return IsEmpty(b) ? PixelRect{} : b;
  if (IsEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace vorn

// The dialog's geometry in pixels: twips converted at the screen's resolution,
// the controls' places, where a label's text lies, and rectangle arithmetic
// with the system's rules (right and bottom edges outside).
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "settings_dialog/layout.h"

namespace vorn {

inline constexpr double kTwipsPerInch = 1440;

// A length in twips as whole pixels at `dpi` dots per inch, halves away from 0.
std::int32_t TwipsToPixels(double twips, std::int32_t dpi);
// A length in pixels as twips at `dpi`.
float PixelsToTwips(std::int32_t pixels, std::int32_t dpi);

// A rectangle in pixels as twips at `dpi`.
TwipsRect ToTwips(const PixelRect& rect, std::int32_t dpi);
// Where a window now at `now` stands after `place` at `dpi`; an absent value
// keeps the window's own.
PixelRect Placed(const PixelRect& now, const TwipsPlacement& place, std::int32_t dpi);

// A control's place in the window's client area at `dpi`.
PixelRect ControlRect(DialogControl control, std::int32_t dpi);

// Where a label's text of the measured size lies within the label's box: at
// its left edge, against its right edge (LabelRight) or in its middle
// (LabelCentred), from its top.
PixelRect TextBox(ControlKind kind, const PixelRect& box, ScreenSize text);

inline std::int32_t Width(const PixelRect& rect) { return rect.right - rect.left; }
inline std::int32_t Height(const PixelRect& rect) { return rect.bottom - rect.top; }
bool Contains(const PixelRect& rect, PixelPoint point);
// The smallest rectangle holding both; an empty one adds nothing.
PixelRect Union(const PixelRect& a, const PixelRect& b);

}  // namespace vorn

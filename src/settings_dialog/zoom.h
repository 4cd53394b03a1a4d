// The caption-zoom animation of the settings dialog's opening and closing.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vorn {

inline constexpr std::int32_t kIdaniCaption = 3;

// `origin`: the pointer's place when the dialog loaded, screen pixels.
// From the origin point to the window's rectangle.
void ZoomOpen(Platform& platform, PixelPoint origin, WindowHandle window);
// From the window's rectangle back to the origin point.
void ZoomClose(Platform& platform, PixelPoint origin, WindowHandle window);

}  // namespace vorn

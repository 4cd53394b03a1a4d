// The caption-zoom animation of the settings dialog's opening and closing.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "startup/vorn_b.h"

namespace vorn {

inline constexpr std::int32_t kIdaniCaption = 3;

// From the origin point to the window's rectangle.
void ZoomOpen(Platform& platform, const VornB& shared, WindowHandle window);
// From the window's rectangle back to the origin point.
void ZoomClose(Platform& platform, const VornB& shared, WindowHandle window);

}  // namespace vorn

// The preview-mode window: a still of the flames inside the display settings'
// preview area.
#pragma once

#include "platform/platform.h"

namespace vorn {

inline constexpr std::int32_t kGwlStyle = -16;
inline constexpr std::int32_t kWsChild = 0x40000000;

// Builds Vorn_R as a child of `parent`, filling it, and shows it. A handle that
// names no window ends the process instead of leaving an invisible window on
// the desktop for ever.
void ShowVornR(Platform& platform, WindowHandle parent);

}  // namespace vorn

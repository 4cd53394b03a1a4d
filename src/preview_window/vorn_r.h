// The preview-mode window: a still of the flames inside the display settings'
// preview area.
#pragma once

#include "platform/platform.h"

namespace vorn {

inline constexpr std::int32_t kGwlStyle = -16;
inline constexpr std::int32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWmClose = 16;

// Builds Vorn_R as a child of `parent`, filling it, and shows it. A handle that
// names no window ends the process instead of leaving an invisible window on
// the desktop for ever.
void ShowVornR(Platform& platform, WindowHandle parent);

// Vorn_R's unload handler: posts WM_CLOSE to the window itself.
void VornR_Form_Unload(Platform& platform, WindowHandle window);

}  // namespace vorn

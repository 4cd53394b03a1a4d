// The dialog's link pointer: a white hand with a black outline, index finger
// up, as a 32 x 32 cursor whose hot spot is the top of the fingertip.
#pragma once

#include "image.h"

namespace vorn::art {

inline constexpr int kCursorSide = 32;
// The build gives icotool the same point (VORN_HAND_HOT_SPOT_X/_Y in CMakeLists.txt).
inline constexpr int kHandHotSpotX = 12;
inline constexpr int kHandHotSpotY = 1;

// Opaque black outline and white fill; everything else fully transparent.
RgbaImage RenderHandCursor();

}  // namespace vorn::art

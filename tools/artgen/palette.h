// The fire colour ramp shared by the sprite sheet and the icon.
#pragma once

#include "image.h"

namespace vorn::art {

// Maps heat in [0, 1] (clamped) to a colour: black, deep red, red, orange,
// yellow, then a near-white yellow at 1. Every colour has r >= g >= b.
Rgb FirePalette(double heat);

}  // namespace vorn::art

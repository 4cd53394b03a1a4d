// The fire colour ramp (core/flame.h) for the icon, and the core's pictures as
// the art tool's.
#pragma once

#include "core/raster.h"
#include "image.h"

namespace vorn::art {

// FireColour as an RGB colour.
Rgb FirePalette(double heat);

}  // namespace vorn::art

// The animated flame of the sprite sheet, drawn at any scale.
//
// The sheet is 8 columns by 4 rows of cells, 32 x 64 pixels each at 96 dots
// per inch. The 32 cells, read left to right and then top to bottom, are one
// looping animation: frame 31 flows into frame 0. Each cell is a small fire on
// pure black; every pixel outside the flame is exactly 0, because the saver ORs
// cells onto a black screen and any faint haze would tint it.
//
// The flame is a function of the plane, in the pixels of the 96-dpi cell: a
// cell for more dots per inch samples it at more points and so shows finer
// detail, not larger pixels. The 96-dpi sheet is the one the art tool renders
// for the program's resources.
#pragma once

#include <cstdint>

#include "core/raster.h"

namespace vorn {

// Row (from the top of a 96-dpi cell) the flame stands on.
inline constexpr std::int32_t kFlameBaseY = 56;
inline constexpr std::int32_t kFlameFrames = 32;

// The fire colour ramp: heat in [0, 1] (clamped) to black, deep red, red,
// orange, yellow, then a near-white yellow at 1. Every colour has r >= g >= b.
Pixel FireColour(double heat);

// One frame of the flame in a cell of ScaledCell(dpi). Any frame number is
// accepted: the animation is periodic, so frame and frame + kFlameFrames look
// the same (up to rounding).
Surface RenderFlameCell(std::int32_t frame, std::int32_t dpi);

// The sprite sheet for a display of `dpi` dots per inch: frame n in column
// n % 8, row n / 8 of cells of ScaledCell(dpi). The saver renders the sheets
// of monitors scaled beyond 100 % with it, and the settings dialog's preview
// can take its sheet for the dialog's scale from here too.
Surface RenderSpriteSheet(std::int32_t dpi);

}  // namespace vorn

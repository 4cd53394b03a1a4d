// The flame sprite sheet as the art tool writes it: the core's flame at 96 dots
// per inch, 256 x 256 pixels of 8 columns by 4 rows of 32 x 64 cells (see
// core/flame.h).
#pragma once

#include "core/flame.h"
#include "core/particles.h"
#include "image.h"

namespace vorn::art {

inline constexpr int kCellWidth = 32;
inline constexpr int kCellHeight = 64;
inline constexpr int kSheetColumns = 8;
inline constexpr int kSheetRows = 4;
inline constexpr int kFrameCount = kSheetColumns * kSheetRows;
inline constexpr int kSheetWidth = kCellWidth * kSheetColumns;
inline constexpr int kSheetHeight = kCellHeight * kSheetRows;

// A 0x00RRGGBB picture of the core raster as an RGB image (palette.cpp).
RgbImage ToRgbImage(const Surface& surface);

// One 32 x 64 frame (periodic: frame and frame + kFrameCount look the same).
inline RgbImage RenderFlameFrame(int frame) { return ToRgbImage(RenderFlameCell(frame, kBaseDpi)); }

// All frames laid out in their cells.
inline RgbImage RenderSpriteSheet() { return ToRgbImage(vorn::RenderSpriteSheet(kBaseDpi)); }

}  // namespace vorn::art

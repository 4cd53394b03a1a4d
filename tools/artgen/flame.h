// The animated flame of the sprite sheet.
//
// The sheet is 256 x 256 pixels: 8 columns by 4 rows of 32 x 64 cells. The 32
// cells, read left to right and then top to bottom, are one looping animation:
// frame 31 flows into frame 0. Each cell is a small fire on pure black; every
// pixel outside the flame is exactly (0, 0, 0), because the saver ORs cells
// onto a black screen and any faint haze would tint it.
#pragma once

#include "image.h"

namespace vorn::art {

inline constexpr int kCellWidth = 32;
inline constexpr int kCellHeight = 64;
inline constexpr int kSheetColumns = 8;
inline constexpr int kSheetRows = 4;
inline constexpr int kFrameCount = kSheetColumns * kSheetRows;
inline constexpr int kSheetWidth = kCellWidth * kSheetColumns;
inline constexpr int kSheetHeight = kCellHeight * kSheetRows;

// Row (from the top of a cell) the flame stands on.
inline constexpr int kFlameBaseY = 56;

struct CellOrigin {
  int x;
  int y;
};

// Top-left corner, in sheet pixels, of the cell that holds `frame` (0..31).
constexpr CellOrigin CellOriginOf(int frame) {
  return CellOrigin{(frame % kSheetColumns) * kCellWidth, (frame / kSheetColumns) * kCellHeight};
}

// One 32 x 64 frame. Any integer is accepted: the animation is periodic, so
// frame and frame + kFrameCount look the same (up to rounding).
RgbImage RenderFlameFrame(int frame);

// All frames laid out in their cells.
RgbImage RenderSpriteSheet();

}  // namespace vorn::art

// The still that preview mode shows inside the display settings: one frame of
// the running saver, computed with the saver's own particle model and raster
// on a full-size screen, then shrunk to the preview area with an area filter.
#pragma once

#include <cstdint>

#include "image.h"

namespace vorn::art {

inline constexpr int kStillWidth = 152;
inline constexpr int kStillHeight = 112;

// One run of the saver: the screen it fills, its settings and how long it runs.
struct SwarmRun {
  int screenWidth;
  int screenHeight;
  int count;   // Num
  int speed;   // Speed
  int frames;  // frames drawn after the burst from the centre
  std::uint64_t seed;
};

// The run the still shows: the default settings on a 1024 x 768 screen, two
// and a half seconds (at 60 frames a second) after the first burst.
inline constexpr SwarmRun kStillRun{1024, 768, 200, 5, 150, 0x0005'EED0'F1A3'E500u};

// The saver's screen after run.frames frames, each composed as the saver does:
// clear to black, then for every particle step it, OR its current cell of
// `sheet` onto the screen at (X, Y) and advance its cell.
RgbImage RenderSwarmFrame(const SwarmRun& run, const RgbImage& sheet);

// Area (box) filter to width x height: every output pixel is the mean of the
// source area it covers, a partly covered source pixel counting by the part
// covered. Exact for any ratio; an all-black area stays exactly black.
RgbImage BoxReduce(const RgbImage& source, int width, int height);

// kStillRun with the rendered sprite sheet, reduced to kStillWidth x kStillHeight.
RgbImage RenderPreviewStill();

}  // namespace vorn::art

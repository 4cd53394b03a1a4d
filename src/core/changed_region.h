// Which parts of the saver's frame have to be put on the screen again: where
// flames were drawn in the frame the screen shows and where they are drawn in
// the next one. Elsewhere both are black.
#pragma once

#include <cstdint>
#include <vector>

#include "core/raster.h"

namespace vorn {

// What presenting a piece costs, in half nanoseconds, as measured under Wine
// (docs/performance.md): the call, each of its rows, each of its pixels.
struct PresentCost {
  static constexpr std::int64_t kCall = 1600;
  static constexpr std::int64_t kRow = 26;
  static constexpr std::int64_t kPixel = 1;
  static std::int64_t Of(const Rect& r) {
    return kCall + kRow * r.height + kPixel * std::int64_t{r.width} * r.height;
  }
};

class ChangedRegion {
 public:
  // More rectangles than this and the whole frame is presented in one piece.
  static constexpr std::size_t kMostRectangles = 1024;

  // A frame of this size whose screen content is not known: the next present
  // is a whole one.
  void Reset(std::int32_t width, std::int32_t height);
  // The screen may have lost the frame (painting, the display back on, a
  // dialog over it): the next present is a whole one.
  void Forget() { whole_ = true; }
  // Something was drawn in the w x h rectangle at (x, y), unclipped. A
  // negative size (GDI may mirror) says only that something was drawn.
  void Add(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
  // The rectangles to present now, within the frame, and the start of the
  // next frame's bookkeeping: what was drawn so far is what the screen shows.
  std::vector<Rect> Present();

 private:
  // Rectangles near each other (sharing a 32-pixel tile) become one piece,
  // their bounds, where that piece costs less than presenting them apart.
  static constexpr std::int32_t kTileShift = 5;
  std::vector<Rect> Merged();
  static constexpr std::uint32_t kNoPiece = UINT32_MAX;
  std::vector<std::uint32_t> tilePiece_;  // the last piece on each tile, kept between frames

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  bool whole_ = true;
  std::vector<Rect> shown_;  // drawn in the frame on the screen
  std::vector<Rect> drawn_;  // drawn since it was presented
  bool shownKnown_ = false;  // shown_ holds all of it
  bool drawnKnown_ = true;   // drawn_ holds all of it
};

}  // namespace vorn

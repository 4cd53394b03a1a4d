// Which parts of the saver's frame have to be put on the screen again: where
// flames were drawn in the frame the screen shows and where they are drawn in
// the next one. Elsewhere both are black.
#pragma once

#include <cstdint>
#include <vector>

#include "core/raster.h"

namespace vorn {

class ChangedRegion {
 public:
  // More rectangles than this, or together more than half the frame, and the
  // whole frame is presented in one piece: each piece costs a call into the
  // system and a pass over its rows.
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
  // Rectangles that touch or share a tile are merged into their bounds: one
  // piece instead of several next to each other.
  static constexpr std::int32_t kTileShift = 5;  // 32-pixel tiles
  std::vector<Rect> Merged() const;
  // Whether presenting these pieces costs more than the whole frame in one.
  bool Costlier(const std::vector<Rect>& pieces) const;

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  bool whole_ = true;
  std::vector<Rect> shown_;  // drawn in the frame on the screen
  std::vector<Rect> drawn_;  // drawn since it was presented
  bool shownKnown_ = false;  // shown_ holds all of it
  bool drawnKnown_ = true;   // drawn_ holds all of it
};

}  // namespace vorn
